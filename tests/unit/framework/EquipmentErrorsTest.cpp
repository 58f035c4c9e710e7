// Error texts, device kind names and the identity texts, as the host and the user read them.
#include "FrameworkTestSupport.h"

#include "framework/uDeviceInfo.h"
#include "framework/uDriverIdentity.h"

using namespace fwtest;

TEST(ErrorTexts, EveryCodeHasItsMessage) {
    const std::pair<LONG, const char*> table[] = {
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
    for (const auto& [code, text] : table)
        EXPECT_EQ(U8(GetErrorDescription(code, WString())), text) << code;
}

TEST(ErrorTexts, UnknownCodesReadAsUnknownErrorAndOwnTextWins) {
    for (LONG code : {5001, -1, 1015, 2147483647})
        EXPECT_EQ(U8(GetErrorDescription(code, WString())), "Неизвестная ошибка") << code;
    EXPECT_EQ(U8(GetErrorDescription(1004, W("Нет бумаги"))), "Нет бумаги");
    EXPECT_EQ(U8(GetErrorDescription(0, W("x"))), "x");
}

TEST(DeviceKindNames, ExactKindsAreNamedOthersComeBackUnchanged) {
    EXPECT_EQ(U8(GetDeviceTypeName(W("FiscalPrinter"))), "Фискальный регистратор");
    EXPECT_EQ(U8(GetDeviceTypeName(W("ElectronicLocks"))), "Эдектронные замки");
    EXPECT_EQ(U8(GetDeviceTypeName(W("Unknown"))), "Неизвестный тип");
    EXPECT_EQ(U8(GetDeviceTypeName(W("fiscalprinter"))), "fiscalprinter");
    EXPECT_EQ(U8(GetDeviceTypeName(W("ElectronicLock"))), "ElectronicLock");
    EXPECT_EQ(U8(GetDeviceTypeName(WString())), "");
}

TEST(IdentityTexts, ContactBlockAndVersion) {
    TDeviceInfoStruct info;
    info.MakerEMail = W(MakerEMailText);
    info.MakerWeb = W(MakerWebText);
    info.MakerPhone = W(MakerPhoneText);
    info.MakerAddress = W(MakerAddressText);
    EXPECT_EQ(U8(FormatContactInfo(info)), std::string("E-mail:\t") + MakerEMailText + "\r\nWeb:\t" + MakerWebText +
                                               "\r\nТел:\t" + MakerPhoneText + "\r\nАдрес:\t" + MakerAddressText +
                                               "\r\n");
    info.VersionMajor = 1;
    info.VersionMinor = 3;
    info.VersionBuild = 172;
    EXPECT_EQ(U8(FormatVersion(info)), "1.3.172");
}
