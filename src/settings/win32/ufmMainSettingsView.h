// The window of TfrmMainSettings: the connection group, the four document buttons on the left
// and the four printer buttons on the right, in that tab order.
#pragma once

#include "fiscal/uDriverFR.h"
#include "settings/ufmMainSettings.h"
#include "settings/win32/Win32Controls.h"
#include "settings/win32/Win32SettingsUI.h"

#include <memory>

// The controls exist before the logic that refers to them.
struct TMainSettingsPageControls {
    TPortDropDown Port;
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
