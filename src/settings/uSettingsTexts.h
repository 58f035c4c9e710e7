// Texts of the settings dialogs, byte for byte as users and support staff know them (UTF-8 here,
// converted at the edges). Typos are part of the texts.
#pragma once

namespace settingstexts {

// The shell.
inline constexpr char ShellCaption[] = "Настройки";
inline constexpr char PagesHint[] = "Настройка параметров и подробная информация о драйвере";
inline constexpr char InfoTab[] = "Информация";
inline constexpr char AdditionalButton[] = "Дополнительно";
inline constexpr char AdditionalHint[] = "Дополнительные функции";
inline constexpr char OkButton[] = "ОК";
inline constexpr char OkHint[] = "Сохранить и закрыть";
inline constexpr char CancelButton[] = "Отмена";
inline constexpr char CancelHint[] = "Закрыть без сохранения";
inline constexpr char MenuReset[] = "Установить значения по-умолчанию";
inline constexpr char MenuDeviceTest[] = "Выполнить тест устройства";
inline constexpr char MenuSettingsList[] = "Показать полный список настроек";
inline constexpr char MenuHelp[] = "Справка";
inline constexpr char InfoType[] = "Тип:";
inline constexpr char InfoModel[] = "Модель:";
inline constexpr char InfoVersion[] = "Версия:";
inline constexpr char InfoDeveloper[] = "Разработчик:";
inline constexpr char InfoDescription[] = "Описание:";
inline constexpr char InfoContact[] = "Контактная информация:";
inline constexpr char SaveFailed[] = "Не удалось записать текущие настройки";
inline constexpr char HelpFileName[] = "help";
inline constexpr char HelpFileExtension[] = ".chm";
inline constexpr char HelpPopupTopics[] = "::/popups.txt";
// Context help of the footer (contexts 1000 to 1003).
inline constexpr char HelpAdditional[] = "Дополнительные функции: \r\n"
                                         " - Установка параметров в значегие по умолчанию\r\n"
                                         " - Тест работоспособности устройства\r\n"
                                         " - Отображение полного списка настроек\r\n"
                                         " - Справка";
inline constexpr char HelpOk[] = "Сохранить настройки и закрыть окно";
inline constexpr char HelpCancel[] = "Закрыть окно без сохранения настроек";
inline constexpr char HelpPages[] = "Настройка параметров и подробная информация о драйвере";

// The full settings list.
inline constexpr char ListCaption[] = "Список настроек";
inline constexpr char ListColumnName[] = "Наименование";
inline constexpr char ListColumnValue[] = "Значение";
inline constexpr char ListColumnDefault[] = "По-умолчанию";
inline constexpr char ListDefaultButton[] = "По-умолчанию";
inline constexpr char ListDefaultHint[] = "Установить все значения по-умолчанию";
inline constexpr char ListMenuEdit[] = "Редактировать";
inline constexpr char ListMenuDefault[] = "По-умолчанию";
inline constexpr char BooleanFalse[] = "False";
inline constexpr char BooleanTrue[] = "True";

// The fiscal printer's page.
inline constexpr char MainCaption[] = "Настройки";
inline constexpr char ConnectionGroup[] = "Параметры связи ";
inline constexpr char PortLabel[] = "Порт:";
inline constexpr char BaudLabel[] = "Скорость:";
inline constexpr const char* BaudRates[] = {"4800", "9600", "19200", "38400", "57600", "115200"};
inline constexpr int DefaultBaudIndex = 2; // 19200
inline constexpr char ChangeBaudButton[] = "Установить скорость";
inline constexpr char OperNameLabel[] = "Имя оператора:";
inline constexpr char OperPassLabel[] = "Пароль оператора:";
inline constexpr char DocSettingsButton[] = "Настройки документа";
inline constexpr char PaymentsButton[] = "Настройки видов оплаты";
inline constexpr char HeaderFooterButton[] = "Шапка и подвал чека";
inline constexpr char TaxesButton[] = "Налоговые группы";
inline constexpr char DateTimeButton[] = "Изменить дату и время";
inline constexpr char PrinterInfoButton[] = "Информация о ККМ";
inline constexpr char CloseDayButton[] = "Z - Отчет";
inline constexpr char XReportButton[] = "X - Отчет";
inline constexpr char NoOperName[] = "Необходимо задать имя оператора";
inline constexpr char NoOperPass[] = "Необходимо задать пароль для связи с ФР";
inline constexpr char DefaultPassword[] = "QWTZ";
inline constexpr char AskDateTime[] = "Дата и время ФР будут синхронизированы с компьютером. Продолжить?";
inline constexpr char AskCloseDay[] = "Будет выполнено закрытие смены и печать Z-отчета. Продолжить?";
// The event of a service action that failed, named by its button.
inline constexpr char EventServiceFailed[] = "Сервисная операция \"%s\" не выполнена: ";

} // namespace settingstexts

namespace settingstexts {

// The document parameter dialogs.
inline constexpr char DocParamsCaption[] = "Настройка параметров документа";
inline constexpr char DocParamsGroup[] = " Параметры ";
inline constexpr char LineSpacingLabel[] = "Межстрочный интервал (или время ожидания подкладного документа):";
inline constexpr char DocOkButton[] = "OK";
inline constexpr char DocDefaultButton[] = "По умолчанию";
struct TBitCaption {
    int Bit;
    const char* Caption;
};
inline constexpr TBitCaption ParamDoc1Captions[] = {
    {0, "Не печатать окончание документа (СПАСИБО ЗА ПОКУПКУ...)"},
    {1, "Не печатать пустую строку между продажами"},
    {2, "Не печатать нулевые счетчики в Z-отчете и X-отчете"},
    {3, "Печатать оттиск всегда с левой стороны подкладного документа (поворот)"},
    {4, "Печатать заголовок перед документом, а не после"},
    {5, "Не печатать чек \"Ресурсы\""},
    {6, "Не печатать поле \"Количество\" в командах \"Продажа\", если оно равно 1"},
    {7, "Не требуется команда \"Начало сеанса\""},
    {11, "Подкрепление/инкассация кратко"},
    {12, "Разрешить оформление бумажной контрольной ленты"},
    {13, "Использовать бумажную ленту или СКЛ"},
    {14, "Использование электронного журнала (для произвольных фискальных документов)"},
    {15, "Разрешить выполнение клиентского документа командой 71, 77 при выполнении следующих операций: "
         "\"Сторнирование продажи\", \"Возврат\", \"Сторнирование возврата\", \"Сторнирование покупки\""},
};
inline constexpr char ShiftAnyDocument[] = "Любой документ открывает смену";
inline constexpr char ShiftFiscalDocument[] = "Фискальный документ открывает смену";
inline constexpr char ShiftOpenCommand[] = "Для открытия смены необходима команда \"Открыть смену\"";
inline constexpr TBitCaption ParamDoc2Captions[] = {
    {0, "Автоматическая инкассация при закрытии смены"},
    {2, "Скидка/наценка по прейскурантной цене (отмена начисления сложного процента)"},
    {3, "Автоматическая печать эл. журнала при заполнении 20 полей"},
    {4, "Не печатать \"руб\" в чеках и отчетах"},
    {5, "Не резать чековую ленту"},
    {6, "Печатать дополнительную строку для скидки/наценки"},
    {7, "Печатать заголовок для произвольного фискального чека"},
    {8, "Печатать отделы в Z-отчете"},
    {9, "Автослип для произвольного фискального документа (всегда выбран)"},
    {10, "Разделять документы на КЛ"},
    {11, "Выводить чек открытия смены"},
    {12, "Разделять параметры на КЛ"},
    {15, "Накопление чека (для термо)"},
};

inline constexpr char HeaderFooterCaption[] = "Шапка и подвал чека";
inline constexpr char HeaderLabel[] = "Шапка чека\r\n(до 4 строк):";
inline constexpr char FooterLabel[] = "Подвал чека\r\n(4 строки):";

inline constexpr char PaymentsCaption[] = "Настройки видов оплаты";
inline constexpr char PaymentsHeading[] = " Наименование вида платежа";
inline constexpr char PaymentNamePrefix[] = "ВИД ОПЛАТЫ ";
// The names are stored as "number=name;" entries: a separator inside a name would split it.
inline constexpr char PaymentNameSeparator[] = "Наименование вида оплаты не может содержать символ \";\"";

inline constexpr char TaxesCaption[] = "Настройки налоговых групп";
inline constexpr char TaxesNameHeading[] = " Наименование";
inline constexpr char TaxesRateHeading[] = " Ставка";
inline constexpr char PrintTaxesCheck[] = "Выделять налоги в чеке";
inline constexpr char TaxNameSeparators[] = "Наименование налога не может содержать символы \";\" и \"=\"";
inline constexpr char TaxRateInvalid[] = "Ставка налога должна быть числом от 0 до 100";

} // namespace settingstexts
