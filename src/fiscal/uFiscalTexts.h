// Texts of the fiscal register that the host, the settings list and the paper show, byte for
// byte as hosts and users know them (UTF-8 here, converted at the edges).
#pragma once

namespace fiscaltexts {

inline constexpr char DeviceKindFiscalPrinter[] = "FiscalPrinter";

// Parameters common to fiscal registers.
inline constexpr char MaxReceiptRowLengthCaption[] = "Длина строки чека";
inline constexpr char MaxReceiptRowLengthDescription[] =
    "Максимальное количество символов, помещающихся в строке чековой ленты";
inline constexpr char MaxSlipRowLengthCaption[] = "Длина строки подкладного документа";
inline constexpr char MaxSlipRowLengthDescription[] =
    "Максимальное количество символов, помещающихся в строке подкладного документа";
inline constexpr char SlipRowsCaption[] = "Строк в странице подкладного документа";
inline constexpr char SlipRowsDescription[] = "Максимальное количество строк, страницы подкладного документа";
inline constexpr char HeaderTextCaption[] = "Заголовок документа";
inline constexpr char HeaderTextDescription[] = "Текст заголовка (шапки) документа";
inline constexpr char FooterTextCaption[] = "Подвал документа";
inline constexpr char FooterTextDescription[] = "Текст подвала документа";
inline constexpr char FullCutCodeCaption[] = "Код символа отреза";
inline constexpr char FullCutCodeDescription[] = "Код символа полного отреза бумаги в кодировке ASCII";
inline constexpr char PartialCutCodeCaption[] = "Код символа частичного отреза";
inline constexpr char PartialCutCodeDescription[] = "Код символа частичного отреза бумаги в кодировке ASCII";

// Parameters of the Orvel27 driver.
inline constexpr char DefCashierNameCaption[] = "Кассир";
inline constexpr char DefCashierNameDescription[] = "Имя кассира по умолчанию";
inline constexpr char DefCashierNameDefault[] = "Кассир";
inline constexpr char DefCashierPasswordCaption[] = "Пароль";
inline constexpr char DefCashierPasswordDescription[] = "Пароль кассира по умолчанию";
inline constexpr char DefCashierPasswordDefault[] = "QWTZ";
inline constexpr char PortNumberCaption[] = "Порт";
inline constexpr char PortNumberDescription[] = "Номер COM-порта";
inline constexpr char BaudRateCaption[] = "Скорость";
inline constexpr char BaudRateDescription[] = "Скорость передачи данных";
// Both document parameters carry the first one's caption; settings lists show it so.
inline constexpr char ParamDoc1Caption[] = "Параметр документа 1";
inline constexpr char ParamDoc1Description[] = "Параметр печати документов 1";
inline constexpr char ParamDoc2Caption[] = "Параметр документа 1";
inline constexpr char ParamDoc2Description[] = "Параметр печати документов 2";
inline constexpr char LineSpacingCaption[] = "Межстрочный интервал";
inline constexpr char LineSpacingDescription[] = "Межстрочный интервал";
inline constexpr char PrintTaxesCaption[] = "Выделять налоги";
inline constexpr char PrintTaxesDescription[] = "Выделять налоги в чеке";
inline constexpr char TaxesParamsCaption[] = "Налоговые группы";
inline constexpr char TaxesParamsDescription[] = "Таблица налоговых групп";
inline constexpr char TaxesParamsDefault[] = "0=БЕЗ НДС=0;1=НДС=18;2=НДС=15;3=НДС=10";
inline constexpr char PaymentNamesCaption[] = "Соответствие наименований видов оплат";
inline constexpr char PaymentNamesDescription[] =
    "Соответствие нименований видов оплат их номерам. Строка типа \"0=Наличные;1=Плат. картой;2=Кредит\"";
inline constexpr char PaymentNamesDefault[] = "0=Наличными;1=Плат. картой;2=Безнал";

// Identity.
inline constexpr char DriverName[] = "Kelvo: Фискальный регистратор Orvel27";
inline constexpr char DriverDescription[] = "Драйвер фискального регистратора Orvel27";

// Messages.
inline constexpr char TaxRateNotSet[] = "Не задана ставка налога в ФР";
inline constexpr char TaxNamePrefix[] = "Налог ";

// Events of the printer in the event log; "%s" is the printer's answer, or what the line names.
inline constexpr char EventNotConnected[] = "связь с ККМ не установлена (порт COM%s, скорость %s)";
inline constexpr char EventConnectionLost[] = "ККМ перестала отвечать";
inline constexpr char EventNoDocumentOpen[] = "открытых документов на ККМ нет";
inline constexpr char EventDocumentMayBeOpen[] = "документ на ККМ мог остаться открытым";
inline constexpr char EventReceiptCancelled[] = "Чек аннулирован после сбоя";
inline constexpr char EventReceiptNotCancelled[] = "Не удалось аннулировать чек после сбоя: %s";
inline constexpr char EventTextCancelled[] = "Текстовый документ аннулирован после сбоя";
inline constexpr char EventTextNotCancelled[] = "Не удалось аннулировать текстовый документ после сбоя: %s";
inline constexpr char EventLeftOpenCancelled[] = "Документ, оставшийся открытым на ККМ, аннулирован";
inline constexpr char EventLostAnswer[] = "Ответ ККМ на закрытие чека потерян (%s); чек зарегистрирован";
inline constexpr char EventNoDocNumbers[] = "ККМ не сообщила номера документа: %s";
inline constexpr char EventNoShiftCounter[] = "ККМ не сообщила счетчик смен: %s";
inline constexpr char EventNoDocCounters[] = "ККМ не сообщила счетчики документов: %s";

// The receipt copy the driver lays out itself.
inline constexpr char CopySerialNumber[] = "Серийный N: ";
inline constexpr char CopyDocNumber[] = "N док: ";
inline constexpr char CopyCashier[] = "Кассир: ";
inline constexpr char CopyReceiptNumber[] = "Чек (КОПИЯ) N: ";
inline constexpr char CopyRoubles[] = " РУБ";
inline constexpr char CopyDiscount[] = " СКИДКА";
inline constexpr char CopyMarkup[] = " НАЦЕНКА";
inline constexpr char CopyTaxIncluded[] = "В Т. Ч. ";
inline constexpr char CopyPercent[] = " %";
inline constexpr char CopyTotal[] = "ИТОГО: ";
inline constexpr char CopyReturn[] = "ВОЗВРАТ";
inline constexpr char CopySale[] = "ПРОДАЖА";
inline constexpr char CopyChange[] = "СДАЧА:";

// The printer identity the settings page shows, one label per text in reading order.
inline constexpr char NotDetermined[] = "Не определено";
inline constexpr const char* PrinterInfoLabels[] = {
    "Тип ККМ: ",
    "Версия ПО ККМ: ",
    "Серийный номер ККМ: ",
    "Регистрационный номер: ",
    "ИНН: ",
    "Номер фискального накопителя: ",
    "Серийный номер ЭКЛЗ: ",
};

} // namespace fiscaltexts
