// The parameter table of TBaseObject and its exchange with the host.
#include "framework/uBaseObject.h"

#include "framework/uEquipmentErrors.h"

void TBaseObject::AddParam(std::string_view Name, TParamType Type, const Variant& Default, bool ReadOnly,
                           std::string_view Caption, std::string_view Description) {
    if (TSettingStruct* existing = FindParam(Name)) {
        // A subclass registering an inherited parameter again changes its default, value,
        // flag and description; the type and caption stay those of the first registration.
        existing->Value = Default;
        existing->Default = Default;
        existing->ReadOnly = ReadOnly;
        existing->Description = std::string(Description);
        return;
    }
    TSettingStruct p;
    p.Name = ToShortString(Name);
    p.Value = Default;
    p.Type = Type;
    p.Default = Default;
    p.ReadOnly = ReadOnly;
    p.Caption = ToShortString(Caption);
    p.Description = std::string(Description);
    FParams.push_back(std::move(p));
}

TSettingStruct* TBaseObject::FindParam(std::string_view Name) {
    const TNameMatcher matcher(Name);
    for (auto& p : FParams)
        if (matcher.Matches(p.Name))
            return &p;
    return nullptr;
}

const TSettingStruct* TBaseObject::FindParam(std::string_view Name) const {
    return const_cast<TBaseObject*>(this)->FindParam(Name);
}

Variant TBaseObject::GetParam(std::string_view Name, bool UseDefault) const {
    const TSettingStruct* p = FindParam(Name);
    if (!p)
        return Variant();
    return UseDefault ? p->Default : p->Value;
}

bool TBaseObject::GetParamAsBoolean(std::string_view Name) const {
    const TSettingStruct* p = FindParam(Name);
    return p ? p->Value.AsBoolean() : false;
}

LONG TBaseObject::GetParamAsInteger(std::string_view Name) const {
    const TSettingStruct* p = FindParam(Name);
    return p ? p->Value.AsInteger() : 0;
}

std::string TBaseObject::GetParamAsString(std::string_view Name) const {
    const TSettingStruct* p = FindParam(Name);
    return p ? p->Value.AsAnsi() : std::string();
}

void TBaseObject::SetParamValue(std::string_view Name, const Variant& Value) {
    if (TSettingStruct* p = FindParam(Name))
        p->Value = Value;
}

void TBaseObject::ResetParamsToDefaults() {
    for (auto& p : FParams)
        p.Value = p.Default;
}

std::string TBaseObject::ParamTypeName(BYTE Type) {
    switch (Type) {
    case ptNumber:
        return "Number";
    case ptString:
        return "String";
    case ptDate:
        return "Date";
    case ptBoolean:
        return "Boolean";
    default:
        return {};
    }
}

Variant TBaseObject::GetSettingsArray() const {
    const LONG n = static_cast<LONG>(FParams.size());
    VariantArray2D table(7, n);
    for (LONG i = 0; i < n; ++i) {
        const TSettingStruct& p = FParams[static_cast<std::size_t>(i)];
        table.Set(0, i, Variant::FromAnsi(p.Name));
        table.Set(1, i, p.Value);
        table.Set(2, i, Variant::FromAnsi(ParamTypeName(p.Type)));
        table.Set(3, i, p.Default);
        table.Set(4, i, Variant(p.ReadOnly));
        table.Set(5, i, Variant::FromAnsi(p.Caption));
        table.Set(6, i, Variant::FromAnsi(p.Description));
    }
    return MakeVariantArray({table.Release()});
}

LONG TBaseObject::ApplySettingsArray(const Variant& InData) {
    if (!ArrayReader::IsArray(InData.Raw()))
        return ErrInvalidParameters;
    const Variant tableValue = ArrayReader(InData.Raw()).Item(0);
    ArrayReader table(tableValue.Raw());
    if (table.Dims() != 2)
        throw EInputError();
    // Only names and values are read; a host may hand back exactly what GetSettings gave it.
    for (LONG j = table.Lower(2); j <= table.Upper(2); ++j) {
        const std::string name = ToShortString(table.Item(0, j).AsAnsi());
        if (TSettingStruct* p = FindParam(name))
            p->Value = table.Item(1, j);
    }
    return ErrNone;
}
