// Texts of the framework's events in the event log (UTF-8), as support staff read them.
#pragma once

namespace eventtexts {
inline constexpr char Error[] = "ОШИБКА";
inline constexpr char Warning[] = "ПРЕДУПРЕЖДЕНИЕ";
inline constexpr char CodeLabel[] = "код ";
inline constexpr char DeviceLabel[] = "Устройство ";
inline constexpr char NoDeviceID[] = "-";
inline constexpr char CommandFailed[] = "Команда %s не выполнена: ";
inline constexpr char MethodFailed[] = "Метод %s не выполнен: ";
inline constexpr char ArgumentNotReturned[] = "Команда %s: значение аргумента %s не передано хосту: ";
inline constexpr char DebugLogNotWritten[] = "Не удалось записать отладочный лог ";
} // namespace eventtexts
