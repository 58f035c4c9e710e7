// Texts of port discovery that a user sees (UTF-8).
#pragma once

inline constexpr char BadUSBDeviceIndexText[] = "Ошибка: \r\nНеверный индекс устройства";
