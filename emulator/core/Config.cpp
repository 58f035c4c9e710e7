#include "emulator/Config.h"

#include "JsonFields.h"
#include "emulator/Encoding.h"

#include <cmath>

namespace azimuth {

namespace {

// Serial numbers differ per port so that two virtual printers can be told apart.
std::string SerialFor(const std::string& port) {
    std::string digits;
    for (char c : port)
        if (c >= '0' && c <= '9')
            digits += c;
    if (digits.size() > 6)
        digits = digits.substr(digits.size() - 6);
    std::string serial = "27";
    serial.append(6 - digits.size(), '0').append(digits);
    return serial;
}

Json TextArray(const auto& texts) {
    Json array = Json::array();
    for (const auto& text : texts)
        array.push_back(Cp1251ToUtf8(text));
    return array;
}

void ReadTextArray(const JsonFields& fields, const char* key, auto& texts) {
    const Json* array = fields.Array(key, texts.size());
    if (!array)
        return;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (!(*array)[i].is_string())
            fields.Fail(key, "must hold strings");
        texts[i] = Utf8ToCp1251((*array)[i].get<std::string>());
    }
}

std::int32_t RateFromJson(const JsonFields& fields, const Json& rate) {
    if (!rate.is_number())
        fields.Fail("taxes", "rates must be numbers or null");
    double hundredths = rate.get<double>() * 100;
    double rounded = std::round(hundredths);
    if (std::fabs(hundredths - rounded) > 1e-6 || rounded < 0 || rounded > 10000)
        fields.Fail("taxes", "rates must lie from 0 to 100 with at most two decimals");
    return static_cast<std::int32_t>(rounded);
}

} // namespace

PrinterConfig DefaultConfig(const std::string& port) {
    PrinterConfig c;
    c.connected = port == "COM1";
    c.model = "ORVEL-27F";
    c.firmware = "02.17";
    c.serial = SerialFor(port);
    c.registration = "0000000001027001";
    c.taxpayer = "7701000027";
    c.fiscalMemory = "9999078902700001";
    c.journalSerial = "0270000001";
    c.taxes = {TaxGroup{Ansi("БЕЗ НДС"), 0}, TaxGroup{Ansi("НДС"), 1800}, TaxGroup{Ansi("НДС"), 1500},
               TaxGroup{Ansi("НДС"), 1000}};
    c.payments = {Ansi("НАЛИЧНЫМИ"), Ansi("ПЛАТ. КАРТОЙ"), Ansi("БЕЗНАЛ"),
                  Ansi("ВИД ОПЛАТЫ 3"), Ansi("ВИД ОПЛАТЫ 4"), Ansi("ВИД ОПЛАТЫ 5")};
    c.header = {Ansi("ДОБРО ПОЖАЛОВАТЬ!"), "", "", ""};
    c.tail = {Ansi("СПАСИБО ЗА ПОКУПКУ!"), "", "", ""};
    return c;
}

Json ConfigToJson(const PrinterConfig& c) {
    Json taxes = Json::array();
    for (const auto& tax : c.taxes) {
        Json rate = nullptr;
        if (tax.rate >= 0)
            rate = tax.rate % 100 == 0 ? Json(tax.rate / 100) : Json(tax.rate / 100.0);
        taxes.push_back({{"name", Cp1251ToUtf8(tax.name)}, {"rate", rate}});
    }
    Json clock = {{"offsetSeconds", c.clock.offsetSeconds},
                  {"frozenAt", c.clock.frozenAt ? Json(FormatTimestamp(*c.clock.frozenAt)) : Json(nullptr)}};
    return Json{{"connected", c.connected},
                {"baudRate", c.baudRate},
                {"password", Cp1251ToUtf8(c.password)},
                {"model", Cp1251ToUtf8(c.model)},
                {"firmware", Cp1251ToUtf8(c.firmware)},
                {"serial", Cp1251ToUtf8(c.serial)},
                {"registration", Cp1251ToUtf8(c.registration)},
                {"taxpayer", Cp1251ToUtf8(c.taxpayer)},
                {"fiscalMemory", Cp1251ToUtf8(c.fiscalMemory)},
                {"journalSerial", Cp1251ToUtf8(c.journalSerial)},
                {"taxes", taxes},
                {"payments", TextArray(c.payments)},
                {"header", TextArray(c.header)},
                {"tail", TextArray(c.tail)},
                {"paramDoc1", c.paramDoc1},
                {"paramDoc2", c.paramDoc2},
                {"drawer", c.drawer},
                {"drawerAutoOpen", c.drawerAutoOpen},
                {"clock", clock},
                {"paramDocResetByZ", c.paramDocResetByZ},
                {"reportTimeoutMs", c.reportTimeoutMs},
                {"tenderStatusHighBits", c.tenderStatusHighBits}};
}

PrinterConfig ConfigFromJson(const Json& json, const std::string& port) {
    PrinterConfig c = DefaultConfig(port);
    // A port folder that has a configuration has a printer unless it says otherwise.
    c.connected = true;
    JsonFields f(json, files::kConfig);
    f.Bool("connected", c.connected);
    f.Int("baudRate", c.baudRate, 1, 10000000);
    f.Text("password", c.password);
    f.Text("model", c.model);
    f.Text("firmware", c.firmware);
    f.Text("serial", c.serial);
    f.Text("registration", c.registration);
    f.Text("taxpayer", c.taxpayer);
    f.Text("fiscalMemory", c.fiscalMemory);
    f.Text("journalSerial", c.journalSerial);
    if (const Json* taxes = f.Array("taxes", kTaxGroups)) {
        for (std::size_t g = 0; g < kTaxGroups; ++g) {
            JsonFields tax((*taxes)[g], std::string(files::kConfig) + ": taxes[" + std::to_string(g) + "]");
            tax.Text("name", c.taxes[g].name);
            const Json* rate = tax.Find("rate");
            c.taxes[g].rate = rate ? RateFromJson(f, *rate) : -1;
        }
    }
    ReadTextArray(f, "payments", c.payments);
    ReadTextArray(f, "header", c.header);
    ReadTextArray(f, "tail", c.tail);
    f.Int("paramDoc1", c.paramDoc1, 0, 0xFFFF);
    f.Int("paramDoc2", c.paramDoc2, 0, 0xFFFF);
    if (const Json* drawer = f.Array("drawer", 3)) {
        for (std::size_t i = 0; i < 3; ++i) {
            if (!(*drawer)[i].is_number_integer())
                f.Fail("drawer", "must hold integers");
            c.drawer[i] = (*drawer)[i].get<std::int32_t>();
        }
    }
    f.Bool("drawerAutoOpen", c.drawerAutoOpen);
    if (const Json* clock = f.Find("clock")) {
        JsonFields cf(*clock, std::string(files::kConfig) + ": clock");
        cf.Int("offsetSeconds", c.clock.offsetSeconds, -100LL * 365 * 86400, 100LL * 365 * 86400);
        if (const Json* frozen = cf.Find("frozenAt")) {
            auto t = frozen->is_string() ? ParseTimestamp(frozen->get<std::string>()) : std::nullopt;
            if (!t)
                cf.Fail("frozenAt", "must be a time \"YYYY-MM-DD hh:mm:ss\" or null");
            c.clock.frozenAt = t;
        }
    }
    f.Bool("paramDocResetByZ", c.paramDocResetByZ);
    f.Int("reportTimeoutMs", c.reportTimeoutMs, 0, 3600000);
    f.Bool("tenderStatusHighBits", c.tenderStatusHighBits);
    return c;
}

} // namespace azimuth
