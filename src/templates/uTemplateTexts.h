// Texts of the template subsystem (UTF-8), byte for byte as the host sees them.
#pragma once

namespace templatetexts {
inline constexpr char NotOverridden[] = "Не перекрыт";
inline constexpr char EmptySectionList[] = "Ошибка шаблона. Список секций пуст.";
inline constexpr char NotATable[] = "Ошибка шаблона: ожидалась двумерная таблица";
inline constexpr char ZeroWidthColumn[] = "Ошибка шаблона: колонка нулевой ширины";
inline constexpr char TooLarge[] = "Ошибка шаблона: размеры документа превышают допустимые";
inline constexpr char TooDeep[] = "Ошибка шаблона: слишком глубокая вложенность таблиц";
inline constexpr char NoXmlDom[] = "Не удалось создать объект XML DOM";
} // namespace templatetexts
