// TDriverFR: the name conformity tables and programming the names into the printer.
#include "fiscal/uDriverFR.h"

#include "fiscal/uFiscalTexts.h"
#include "framework/uEquipmentErrors.h"

#include <cstdio>

namespace {

std::string KeyOf(const std::string& line, std::size_t& separator) {
    separator = line.find('=');
    return separator == std::string::npos ? std::string() : line.substr(0, separator);
}

// Only Latin letters change: Cyrillic names stay as the host wrote them.
std::string LatinUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// A currency value as the printer takes numbers: no trailing zeros, a point before decimals.
std::string CurrencyText(CY value) {
    const bool negative = value.int64 < 0;
    const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value.int64)
                                                  : static_cast<unsigned long long>(value.int64);
    std::string text = std::to_string(magnitude / 10000);
    unsigned fraction = static_cast<unsigned>(magnitude % 10000);
    if (fraction != 0) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04u", fraction);
        std::string decimals(digits);
        while (!decimals.empty() && decimals.back() == '0')
            decimals.pop_back();
        text += '.';
        text += decimals;
    }
    if (negative)
        text.insert(text.begin(), '-');
    return text;
}

} // namespace

void TNameList::Assign(const std::string& Text) {
    FLines.clear();
    std::size_t start = 0;
    while (start < Text.size()) {
        const std::size_t end = Text.find(';', start);
        if (end == std::string::npos) {
            FLines.push_back(Text.substr(start));
            break;
        }
        FLines.push_back(Text.substr(start, end - start));
        start = end + 1;
    }
}

std::string TNameList::Value(const std::string& Key) const {
    for (const std::string& line : FLines) {
        std::size_t separator = 0;
        const std::string key = KeyOf(line, separator);
        if (separator != std::string::npos && SameName(key, Key))
            return line.substr(separator + 1);
    }
    return {};
}

void TNameList::SetValue(const std::string& Key, const std::string& Value) {
    for (std::string& line : FLines) {
        std::size_t separator = 0;
        const std::string key = KeyOf(line, separator);
        if (separator != std::string::npos && SameName(key, Key)) {
            line = Key + "=" + Value;
            return;
        }
    }
    FLines.push_back(Key + "=" + Value);
}

void TDriverFR::BuildNameLists() {
    FDepartmentNames.Assign(GetParamAsString("DepartmentNameConformity"));
    FPaymentNames.Assign(LatinUpper(GetParamAsString("PaymentTypeNameConformity")));
    FTaxNames.Assign(GetParamAsString("TaxesParams"));
    // Groups within the list's size get a printable name of at most 7 characters; others keep
    // their entry as written, rate included.
    const std::size_t groups = FTaxNames.Count();
    const std::string prefix = Utf8ToAnsi(fiscaltexts::TaxNamePrefix);
    for (std::size_t n = 0; n < groups; ++n) {
        const std::string key = std::to_string(n);
        std::string name = FTaxNames.Value(key);
        if (name.empty())
            name = prefix + key;
        name = name.substr(0, name.find('='));
        if (name.size() > 7)
            name.resize(7);
        FTaxNames.SetValue(key, name);
    }
}

LONG TDriverFR::ProgramPayment(LONG Number, const std::string& Name) {
    if (!FLibrary)
        return ErrLibraryNotFound;
    return Lib().SetPayment(static_cast<BYTE>(Number), Name.c_str(), 0, Number == 0 ? 1 : 0, 0, 7, "1");
}

LONG TDriverFR::ProgramTax(LONG Group, const std::string& Name, CY Rate, CY Second, LONG Flag) {
    if (!FLibrary)
        return ErrLibraryNotFound;
    const std::string rate = CurrencyText(Rate);
    const std::string second = CurrencyText(Second);
    return Lib().SetTaxes(static_cast<BYTE>(Group), static_cast<BYTE>(Flag), Name.c_str(), rate.c_str(),
                          second.c_str());
}
