// Printer operations that record what they were asked, and a device with the fiscal driver's
// connection parameters, for the settings forms' logic (with the controls of MemoryControls.h).
#pragma once

#include "MemoryControls.h"
#include "device/DeviceTestSupport.h"
#include "settings/uFiscalServices.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace settingstest {

using namespace devtest;

// Each call is noted with the parameters in force at that moment; codes and texts by name.
class TRecordingServices : public IFiscalServices {
public:
    explicit TRecordingServices(TBaseDevice& Device) : FDevice(Device) {}

    struct TCall {
        std::string Name;
        std::string Args;      // UTF-8
        std::string Port;      // PortNumber in force, as text
        std::string Cashier;   // DefCashierName in force (UTF-8)
        bool Enabled = false;  // the device was enabled
        std::string Baud;      // BaudRate in force, as text
    };
    std::vector<TCall> Calls;
    std::map<std::string, LONG> Codes;          // name -> code (0 when absent)
    std::map<std::string, std::string> Texts;   // name -> text (UTF-8)
    std::map<std::string, int> FailAt;          // name -> 0-based call number that fails with Codes
    std::array<std::string, 7> Identity{};      // ANSI

    LONG ChangeBaudrate(LONG Baud, WString& Text) override { return Note("ChangeBaudrate", std::to_string(Baud), Text); }
    LONG SetDateTime(DATE, WString& Text) override { return Note("SetDateTime", "", Text); }
    LONG ReadPrinterInfo(std::array<std::string, 7>& Out, WString& Text) override {
        const LONG code = Note("ReadPrinterInfo", "", Text);
        if (code == 0)
            Out = Identity;
        return code;
    }
    LONG PrintXReport(WString& Text) override { return Note("PrintXReport", "", Text); }
    LONG CloseShift(WString& Text) override { return Note("CloseShift", "", Text); }
    LONG WriteDocParams(LONG w1, LONG w2, WString& Text) override {
        return Note("WriteDocParams", std::to_string(w1) + "," + std::to_string(w2), Text);
    }
    LONG ProgramHeader(const std::string& Lines, WString& Text) override {
        return Note("ProgramHeader", AnsiToUtf8(Lines), Text);
    }
    LONG ProgramTail(const std::string& Lines, WString& Text) override {
        return Note("ProgramTail", AnsiToUtf8(Lines), Text);
    }
    LONG ProgramPayment(LONG n, const std::string& Name, WString& Text) override {
        return Note("ProgramPayment", std::to_string(n) + "=" + AnsiToUtf8(Name), Text);
    }
    LONG ProgramTax(LONG g, const std::string& Name, CY Rate, CY Second, LONG Flag, WString& Text) override {
        return Note("ProgramTax", std::to_string(g) + "=" + AnsiToUtf8(Name) + "=" + std::to_string(Rate.int64) +
                                      "," + std::to_string(Second.int64) + "," + std::to_string(Flag),
                    Text);
    }
    std::vector<std::string> Args(const std::string& name) const {
        std::vector<std::string> found;
        for (const TCall& c : Calls)
            if (c.Name == name)
                found.push_back(c.Args);
        return found;
    }

private:
    LONG Note(const std::string& name, const std::string& args, WString& Text) {
        TCall call{name, args, FDevice.GetParam("PortNumber").AsAnsi(),
                   AnsiToUtf8(FDevice.GetParamAsString("DefCashierName")), FDevice.IsEnabled(),
                   FDevice.GetParam("BaudRate").AsAnsi()};
        Calls.push_back(call);
        const int n = static_cast<int>(Args(name).size()) - 1;
        auto failAt = FailAt.find(name);
        if (failAt != FailAt.end() && failAt->second != n)
            return 0;
        auto text = Texts.find(name);
        if (text != Texts.end())
            Text = W(text->second);
        auto code = Codes.find(name);
        return code == Codes.end() ? 0 : code->second;
    }
    TBaseDevice& FDevice;
};

// A device with the driver's connection and document parameters, as the driver registers them.
class TSettingsDevice : public TTestDevice {
public:
    static ComPtr<TSettingsDevice> Create() { return CreateComObject<TSettingsDevice>(); }
    bool TestAnswer = true;
    WString TestText;
    int Tests = 0;
    std::function<void()> OnTest;
    bool DoDeviceTest(WString& Text) override {
        ++Tests;
        if (OnTest)
            OnTest();
        Text = TestText;
        return TestAnswer;
    }

protected:
    void RegisterParams() override {
        TTestDevice::RegisterParams();
        AddParam("DefCashierName", ptString, Variant(W("Кассир")), false, Utf8ToAnsi("Кассир"), "");
        AddParam("DefCashierPassword", ptString, Variant(W("QWTZ")), false, Utf8ToAnsi("Пароль"), "");
        AddParam("PortNumber", ptNumber, Variant(1), false, Utf8ToAnsi("Порт"), Utf8ToAnsi("Номер COM-порта"));
        AddParam("BaudRate", ptNumber, Variant(19200), false, Utf8ToAnsi("Скорость"), "");
        AddParam("ParamDoc1", ptNumber, Variant(432), true, "", "");
        AddParam("ParamDoc2", ptNumber, Variant(0), true, "", "");
        AddParam("LineSpacing", ptNumber, Variant(0), true, "", "");
        AddParam("PrintTaxes", ptBoolean, Variant(false), true, "", "");
        AddParam("TaxesParams", ptString, Variant(W("0=БЕЗ НДС=0;1=НДС=18;2=НДС=15;3=НДС=10")), true, "", "");
        AddParam("HeaderText", ptString, Variant(W("")), false, "", "");
        AddParam("FooterText", ptString, Variant(W("")), false, "", "");
        AddParam("PaymentTypeNameConformity", ptString, Variant(W("0=Наличными;1=Плат. картой;2=Безнал")), false, "",
                 "");
    }
};

} // namespace settingstest
