// Texts of the device base that the host, the settings list and the debug log show, byte for
// byte as hosts and support staff know them (UTF-8 here, converted at the edges).
#pragma once

namespace devicetexts {

inline constexpr char EquipmentManagerUnavailable[] = "Менеджер оборудования недоступен";

// The common parameters.
inline constexpr char DefaultTimeOutCaption[] = "Таймаут по умолчанию";
inline constexpr char DefaultTimeOutDescription[] =
    "Таймаут по умолчанию. Используется в случае, если при вызове метода параметр Timeout равен 0";
inline constexpr char EventLogEnabledCaption[] = "Журнал событий";
inline constexpr char EventLogEnabledDescription[] = "Если равно True, ведется журнал критических событий и ошибок";
inline constexpr char DebugLogEnabledCaption[] = "Отладочный лог";
inline constexpr char DebugLogEnabledDescription[] = "Если равно True, ведется отладочный лог";

// The port group.
inline constexpr char PortNumberCaption[] = "Номер порта";
inline constexpr char PortNumberDescription[] = "Номер порта\r\nДопустимые значения: 1, 2, 3...";
inline constexpr char BaudCaption[] = "Скорость порта";
inline constexpr char BaudDescription[] =
    "Скорость порта\r\nДопустимые значения: 115200, 57600, 38400, 19200, 9600, 4800, 2400, 1200, 300, 28800";
inline constexpr char DataBitsCaption[] = "Биты данных";
inline constexpr char DataBitsDescription[] = "Биты данных (DataBits)\r\nДопустимые значения: 8, 7, 6, 5";
inline constexpr char StopBitsCaption[] = "Стоп биты";
inline constexpr char StopBitsDescription[] = "Стоп биты (StopBits)\r\nДопустимые значения: 1, 2";
inline constexpr char ParityCaption[] = "Четность";
inline constexpr char ParityDescription[] =
    "Четность (Parity)\r\nДопустимые значения: 0 - \"Отсутствует (None)\", 1 - Нечетный (Odd), 2 - Четный (Even), "
    "3 - Метка (Mark), 4 - Пробел (Space)";
inline constexpr char IsOpenCaption[] = "Блокировать";
inline constexpr char IsOpenDescription[] = "Блокировать порт\r\nДопустимые значения: 1 - блокировать, 0 - нет";

// The line-control group.
inline constexpr char FlowControlCaption[] = "Управление потоком данны";
inline constexpr char FlowControlDescription[] =
    "Управление потоком данных (Flow control)\r\nДопустимые значения: 0 - Hardware, 1 - Software, 2 - None, 3 - Custom";
inline constexpr char ControlDTRCaption[] = "Управление DTR";
inline constexpr char ControlDTRDescription[] =
    "Управление DTR (Control DTR)\r\nДопустимые значения: 0 - Disable, 1 - Enable, 2 - Handshake";
inline constexpr char ControlRTSCaption[] = "Управление RTS";
inline constexpr char ControlRTSDescription[] =
    "Управление RTS (Control RTS)\r\nДопустимые значения: 0 - Disable, 1 - Enable, 2 - Handshake, 3 - Toggle";
inline constexpr char TimeOutWriteCaption[] = "ТаймАут вывода";
inline constexpr char TimeOutWriteDescription[] = "ТаймАут вывода";

// The block that opens a debug log; support staff look for these lines.
inline constexpr char LogBegin[] = "============Begin debug log=============";
inline constexpr char LogDriverVersion[] = "driver ver.";
inline constexpr char LogDeviceID[] = "device ID";
inline constexpr char LogSettings[] = "----------------Settings----------------";
inline constexpr char LogEnd[] = "----------------------------------------";
// What the header shows for a secret value: what the settings dialog shows.
inline constexpr char LogHiddenValue[] = "****";

} // namespace devicetexts
