// Dialogs built in code, run by the system's dialog manager.
#include "settings/win32/Win32Dialog.h"

#include <gtest/gtest.h>

namespace {

// A dialog with one hinted button that notes what it finds while it runs, then cancels itself.
class TProbeDialog : public TWin32Dialog {
public:
    explicit TProbeDialog(HWND Other) : TWin32Dialog(T("Проба"), 200, 100), FOther(Other) {}
    HWND Button = nullptr;
    bool OtherEnabledWhileShown = true;

protected:
    void OnCreate() override {
        Button = AddButton("ОК", 10, 10, 75, 25, IDOK);
        SetHint(Button, T("Сохранить и закрыть"));
        SetHelpContext(Button, 1001);
        OtherEnabledWhileShown = IsWindowEnabled(FOther) != FALSE;
        PostMessageW(FHandle, WM_COMMAND, IDCANCEL, 0);
    }

private:
    HWND FOther;
};

} // namespace

TEST(Win32Dialog, AModalDialogDisablesTheThreadsOtherWindowsAndLeavesNoHintsBehind) {
    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    TProbeDialog dialog(other);
    EXPECT_EQ(dialog.ShowModal(), IDCANCEL);
    EXPECT_FALSE(dialog.OtherEnabledWhileShown);
    EXPECT_TRUE(IsWindowEnabled(other));
    // The button's handle value may be handed out again: nothing of it is left.
    EXPECT_EQ(TWin32Dialog::HintOf(dialog.Button), WString());
    EXPECT_EQ(TWin32Dialog::HelpContextOf(dialog.Button), 0);
    DestroyWindow(other);
}
