#include "emulator/Codes.h"


namespace azimuth {

namespace {

struct CodeEntry {
    std::int32_t code;
    const char* text;
};

// The one table of codes and texts; the README lists the same texts.
constexpr CodeEntry kCodes[] = {
    {kOk, "Ошибок нет"},
    {kNotSupported, "Команда не поддерживается данной моделью ККМ"},
    {kBadArgument, "Неверное значение параметра команды"},
    {kNotConnected, "Нет связи с ККМ: порт не открыт"},
    {kWrongPassword, "Неверный пароль кассира"},
    {kNoPrinter, "К указанному порту ККМ не подключена"},
    {kBadCharacter, "Недопустимый символ в тексте документа"},
    {kSessionRequired, "Не выполнена команда \"Начало сеанса\""},
    {kShiftClosed, "Смена не открыта"},
    {kShiftMustBeClosed, "Команда допустима только при закрытой смене"},
    {kShiftExpired, "Смена превысила 24 часа. Необходимо снять Z-отчет"},
    {kTaxRateNotSet, "Не задана ставка налога для налоговой группы"},
    {kDocumentOpen, "Открыт документ: команда недопустима до его закрытия"},
    {kNoDocument, "Нет открытого документа"},
    {kWrongDocumentState, "Команда недопустима в текущем состоянии документа"},
    {kReceiptNotPaid, "Чек не оплачен: оплата меньше суммы чека"},
    {kNonCashOverpay, "Безналичная оплата превышает остаток к оплате"},
    {kNotEnoughCash, "Недостаточно наличных в денежном ящике"},
    {kOverflow, "Переполнение: сумма или количество вне допустимого диапазона"},
    {kAdjustmentTooLarge, "Скидка превышает стоимость позиции"},
    {kAlreadyDone, "Команда уже выполнена"},
    {kEmptyReceipt, "В чеке нет ни одной позиции"},
    {kPaperOut, "Нет бумаги"},
    {kStorageFailed, "Ошибка записи в память ККМ: операция не выполнена"},
    {kDamagedState, "Память ККМ повреждена: файл состояния не читается"},
    {kInternal, "Внутренняя ошибка библиотеки"},
    {kNoAnswer, "ККМ не отвечает"},
};

} // namespace

std::string CodeText(std::int32_t code) {
    for (const auto& entry : kCodes)
        if (entry.code == code)
            return entry.text;
    std::string text = "Неизвестный код ошибки ";
    text += std::to_string(code);
    return text;
}

std::vector<std::int32_t> AllCodes() {
    std::vector<std::int32_t> codes;
    for (const auto& entry : kCodes)
        codes.push_back(entry.code);
    return codes;
}

} // namespace azimuth
