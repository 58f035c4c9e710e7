// The programming frame of the document parameter dialogs.
#include "settings/uProgrammingFrame.h"

#include "framework/uEquipmentErrors.h"
#include "settings/ufmCommonSettings.h"

bool TProgrammingDialog::Program(const std::function<LONG(WString&)>& Steps,
                                 const std::function<void()>& WriteParams) {
    FInputRefused = false;
    const bool wasEnabled = FDevice.IsEnabled();
    LONG code = ErrUnknown;
    WString text;
    {
        TWaitCursor wait(FUI);
        // Whatever happens, the device goes back to the state it had and the bar is put away.
        struct TRestore {
            TProgrammingDialog& Dialog;
            bool WasEnabled;
            ~TRestore() {
                try {
                    if (Dialog.FDevice.IsEnabled() != WasEnabled)
                        Dialog.FDevice.SetEnabled(WasEnabled);
                } catch (...) {
                }
                Dialog.FProgress.SetVisible(false);
                Dialog.FProgress.SetPosition(0);
            }
        } restore{*this, wasEnabled};
        // A failure on the way (a stored value the connection cannot read) is told like a code: the
        // window around the dialog could only swallow it, and the user would see nothing happen.
        try {
            code = FDevice.EnableDevice(text);
            if (code == ErrNone) {
                FProgress.SetPosition(0);
                FProgress.SetVisible(true);
                code = Steps(text);
            }
        } catch (...) {
            code = ErrUnknown;
            text = Utf8ToWide(DescribeCurrentException().Message);
        }
    }
    if (code != ErrNone) {
        FUI.ShowError(GetErrorDescription(code, text));
        return false;
    }
    WriteParams();
    return true;
}

void TProgrammingDialog::Store(std::string_view Name, const Variant& Value) {
    FDevice.SetParamValue(Name, Value);
    // Cancel of the settings dialog would otherwise put back a value the printer no longer has.
    if (FSettingsForm)
        FSettingsForm->KeepValue(Name, Value);
}
