#include "framework/uEquipmentErrors.h"

#include <cstdio>
#include <iterator>

namespace {

struct TErrorText {
    LONG Code;
    const char* Text;
};

// Hosts show these to the user as they are, spelling included.
constexpr TErrorText ErrorTexts[] = {
    {0, "Нет ошибок"},
    {70, "Устройство не включено"},
    {74, "Истек таймаут ожидания"},
    {201, "Операция отменена пользователем"},
    {1001, "Неизвестная ошибка"},
    {1002, "Команда не распознана устройством"},
    {1003, "Команда не поддерживаеся устройством"},
    {1004, "Ошибка входных параметров команды"},
    {1005, "Устройство не найдено"},
    {1006, "Библиотека не найдена"},
    {1007, "Устройство не отвечает"},
    {1008, "Оборудование не готово"},
    {1009, "Устройство занято"},
    {1010, "Неверная версия библиотеки"},
    {1011, "Порт недоступен"},
    {1012, "Порт занят другим приложением"},
    {1013, "Устройство не найдено"},
    {1014, "Ошибка протокола обмена"},
    {2001, "Буфер данных пуст"},
    {3001, "Нет бумаги"},
    {3002, "Длительнсть смены превысила 24 часа. Необходимо снять Z-отчет"},
    {3003, "Нет контрольной ленты"},
    {3004, "Отсутствует подкладной документ"},
    {3005, "Смена закрыта"},
    {3006, "Недостаточно наличных в кассе"},
    {3007, "Шаблон не найден"},
    {3008, "Для выполнения операции требуется закрыть смену"},
    {3009, "Сумма оплаты не соответствует сумме документа"},
    {3010, "Налоговая группа вне допустимого диапазона"},
    {3011, "Не удалось определить результат пробития чека"},
    {3012, "Номер оплаты вне допустимого диапазона"},
    {4001, "Нет связи с pinpad"},
    {4002, "Нет связи с хостом"},
    {4003, "Операция не была одобрена"},
    {4004, "Транзакция с указанным номером уже существует"},
    {4005, "Статус выполнения транзакции не определен"},
    {4006, "Не хватает средств для проведения транзакции"},
    {4007, "Транзакция не найдена"},
    {4008, "Pinpad не вернул текст чека"},
    {6001, "Запрошенные данные отсутствуют"},
    {7001, "Вес не стабилен"},
    {8001, "Буфер данных пуст"},
    {11001, "Список контроллеров пуст"},
    {12001, "Отпечаток не найден в базе"},
    {13001, "Шаблон с таким номером не был загружен в принтер"},
    {14001, "Дата заезда должна быть больше текущей даты"},
    {14002, "Дата выезда должна быть больше даты заезда"},
    {14003, "Пользователь или комната не найдены"},
};
static_assert(std::size(ErrorTexts) == 48);

struct TKindName {
    const char* Kind;
    const char* Name;
};

constexpr TKindName KindNames[] = {
    {"Unknown", "Неизвестный тип"},
    {"Template", "Шаблон"},
    {"Scanner", "Сканер штрихкодов"},
    {"FiscalPrinter", "Фискальный регистратор"},
    {"AcquiringTerminal", "Эквайринг-терминал"},
    {"DataCollectionTerminal", "Терминал сбора данных"},
    {"LineDisplay", "Дисплей покупателя"},
    {"CardReader", "Считыватель карт"},
    {"Scale", "Электронные весы"},
    {"ServicePrinter", "Сервисный принтер"},
    {"AccessController", "Контроллер доступа"},
    {"LabelPrinter", "Принтер этикеток"},
    {"BiometricReader", "Биометрический считыватель"},
    {"ElectronicLocks", "Эдектронные замки"},
};

} // namespace

const char* ErrorMessageUtf8(LONG code) noexcept {
    for (const auto& e : ErrorTexts)
        if (e.Code == code)
            return e.Text;
    return "Неизвестная ошибка";
}

WString GetErrorDescription(LONG code, WStringView text) {
    if (!text.empty())
        return WString(text);
    return Utf8ToWide(ErrorMessageUtf8(code));
}

WString GetDeviceTypeName(WStringView kind) {
    for (const auto& k : KindNames)
        if (kind == WStringView(Utf8ToWide(k.Kind)))
            return Utf8ToWide(k.Name);
    return WString(kind);
}

WString FormatContactInfo(const TDeviceInfoStruct& info) {
    const char* labels[] = {"E-mail", "Web", "Тел", "Адрес"};
    const WString* values[] = {&info.MakerEMail, &info.MakerWeb, &info.MakerPhone, &info.MakerAddress};
    WString result;
    for (int i = 0; i < 4; ++i) {
        result += Utf8ToWide(labels[i]);
        result += Utf8ToWide(":\t");
        result += *values[i];
        result += Utf8ToWide("\r\n");
    }
    return result;
}

WString FormatVersion(const TDeviceInfoStruct& info) {
    char text[48];
    std::snprintf(text, sizeof text, "%d.%d.%d", static_cast<int>(info.VersionMajor),
                  static_cast<int>(info.VersionMinor), static_cast<int>(info.VersionBuild));
    return Utf8ToWide(text);
}
