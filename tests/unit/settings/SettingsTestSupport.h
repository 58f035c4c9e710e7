// Controls held in memory for the settings forms' logic, a desktop that records the boxes it was
// asked to show, printer operations that record what they were asked, and a device with the
// fiscal driver's connection parameters.
#pragma once

#include "device/DeviceTestSupport.h"
#include "settings/uFiscalServices.h"
#include "settings/uSettingsControls.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace settingstest {

using namespace devtest;

class TMemoryEdit : public ITextEdit {
public:
    WString Value;
    int Focused = 0;
    WString Text() const override { return Value; }
    void SetText(const WString& Text) override { Value = Text; }
    void Focus() override { ++Focused; }
};

class TMemoryDropDown : public IDropDown {
public:
    std::vector<WString> Items;
    int Index = -1;
    int Count() const override { return static_cast<int>(Items.size()); }
    WString Item(int i) const override { return Items.at(static_cast<std::size_t>(i)); }
    int ItemIndex() const override { return Index; }
    void SetItemIndex(int i) override { Index = i; }
    void Select(const std::string& utf8) {
        for (std::size_t i = 0; i < Items.size(); ++i)
            if (Items[i] == W(utf8))
                Index = static_cast<int>(i);
    }
};

class TMemoryCheck : public ICheckBox {
public:
    bool On = false;
    bool Checked() const override { return On; }
    void SetChecked(bool c) override { On = c; }
};

class TMemoryState : public IControlState {
public:
    bool IsEnabled = true;
    bool IsVisible = true;
    bool Enabled() const override { return IsEnabled; }
    void SetEnabled(bool e) override { IsEnabled = e; }
    void SetVisible(bool v) override { IsVisible = v; }
};

class TMemoryPortPicker : public IPortPicker {
public:
    LONG Number = -1;
    LONG GetPortNumber() const override { return Number; }
    void SetPortNumber(LONG n) override {
        if (n >= 1 && n <= 255)
            Number = n;
    }
};

class TMemoryProgress : public IProgressBar {
public:
    std::vector<int> Positions;
    bool Visible = false;
    bool WasShown = false;
    void SetPosition(int p) override { Positions.push_back(p); }
    void SetVisible(bool v) override {
        Visible = v;
        WasShown = WasShown || v;
    }
};

// Boxes are noted in order as "error: ...", "info: ...", "ask: ..." (UTF-8).
class TRecordingUI : public ISettingsUI {
public:
    std::vector<std::string> Boxes;
    bool Answer = true;
    bool Administrator = true;
    int WaitDepth = 0;
    int MaxWaitDepth = 0;
    // Called when a box is shown, with what the desktop looks like at that moment.
    std::function<void()> OnBox;

    void ShowError(const WString& Text) override { Note("error: " + U8(Text)); }
    void ShowInfo(const WString& Text) override { Note("info: " + U8(Text)); }
    bool Confirm(const WString& Text) override {
        Note("ask: " + U8(Text));
        return Answer;
    }
    void SetWaitCursor(bool Wait) override {
        WaitDepth += Wait ? 1 : -1;
        MaxWaitDepth = std::max(MaxWaitDepth, WaitDepth);
    }
    bool UserIsAdministrator() override { return Administrator; }

private:
    void Note(const std::string& box) {
        Boxes.push_back(box);
        if (OnBox)
            OnBox();
    }
};

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
                   AnsiToUtf8(FDevice.GetParamAsString("DefCashierName")), FDevice.IsEnabled()};
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
