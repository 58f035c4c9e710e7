// The built-in template: the "ZeroTemplate" resource of the driver's own module, UTF-16 XML.
#include "templates/uTemplateLib.h"
#include "templates/uTemplateStore.h"

LONG LoadZeroTemplate(Variant& Template, std::string& Description) {
    Template.Reset();
    Description.clear();
    const HMODULE module = platform::ModuleOf(reinterpret_cast<const void*>(&LoadZeroTemplate));
    const HRSRC info = FindResourceExA(module, RT_RCDATA, "ZeroTemplate", MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    const HGLOBAL data = info ? LoadResource(module, info) : nullptr;
    const auto* text = data ? static_cast<const WCHAR*>(LockResource(data)) : nullptr;
    if (!text)
        return ErrTemplateNotFound;
    // The text ends at its size or at its first zero character, whichever comes first.
    WString xml(text, SizeofResource(module, info) / sizeof(WCHAR));
    xml.resize(std::char_traits<WCHAR>::length(xml.c_str()));
    if (xml.empty())
        return ErrTemplateNotFound;
    LONG number = 0;
    WString description;
    Variant full;
    LoadTemplateXml(xml, number, description, full);
    if (full.IsEmpty())
        return ErrTemplateNotFound;
    // Number 0 downloads and prints like any uploaded template: the table alone.
    Template = ArrayReader(full.Raw()).Item(2);
    Description = WideToAnsi(description);
    return ErrNone;
}
