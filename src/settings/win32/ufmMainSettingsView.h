// The window of TfrmMainSettings: the connection group, the four document buttons on the left
// and the four printer buttons on the right, in that tab order.
#pragma once

#include "fiscal/uDriverFR.h"
#include "ports/win32/PortsComboBoxView.h"
#include "settings/ufmMainSettings.h"
#include "settings/win32/Win32Controls.h"
#include "settings/win32/Win32SettingsUI.h"

#include <memory>

// The port picker of the ports subsystem as the page's port choice.
class TPortPickerControl : public IPortPicker {
public:
    std::unique_ptr<TPortsComboBoxView> View;
    LONG GetPortNumber() const override { return View ? View->Picker().GetPortNumber() : -1; }
    void SetPortNumber(LONG Number) override {
        if (View)
            View->Picker().SetPortNumber(static_cast<int>(Number));
    }
};

// The controls exist before the logic that refers to them.
struct TMainSettingsPageControls {
    TPortPickerControl Port;
    TComboControl Baud;
    TEditControl Name;
    TEditControl Pass;
    TWindowState CloseDay;
};

class TMainSettingsPage : private TMainSettingsPageControls, public TfrmMainSettings {
public:
    static constexpr LONG Width = 350;
    static constexpr LONG Height = 300;

    // A child page of the shell's window.
    TMainSettingsPage(TDriverFR& Driver, TWin32SettingsUI& UI, IFiscalServices& Services, HWND Shell);
    ~TMainSettingsPage() override;

    HWND PageWindow() const override;
    void GetClientSize(LONG& W, LONG& H) const override {
        W = Width;
        H = Height;
    }

private:
    class TWindow;
    void OpenDocumentDialog(int Id);

    TDriverFR& FDriver;
    TWin32SettingsUI& FWin32UI;
    std::unique_ptr<TWindow> FWindow;
};
