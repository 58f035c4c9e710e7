// Any text through the XML reader (the platform layer's DOM), and whatever it reads through the
// model and the renderer with every section printed once: failures are the driver's exceptions,
// never a crash or a leak.
#include "framework/uCommonUtils.h"
#include "templates/uTemplateLib.h"
#include "templates/uTemplateObj.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 16384)
        return 0;
    const WString source = Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!source.empty() && source.find(u'<') == WString::npos)
        return 0; // a file name: not what this fuzzer reads
    try {
        LONG number = -1;
        WString description;
        Variant full;
        LoadTemplateXml(source, number, description, full);
        if (full.IsEmpty())
            return 0;
        const Variant table = ArrayReader(full.Raw()).Item(2);
        TTemplateObj model;
        model.Build(table, 40);
        VariantArray2D params(2, static_cast<LONG>(model.Sections.Count()));
        for (LONG i = 0; i < static_cast<LONG>(model.Sections.Count()); ++i) {
            params.Set(0, i, Variant(model.Sections[static_cast<size_t>(i)].Name));
            params.Set(1, i, Variant(VariantArray2D(2, 0).Release()));
        }
        RenderTemplate(table, params.Release(), 40);
    } catch (const EDriverError&) {
    }
    return 0;
}
