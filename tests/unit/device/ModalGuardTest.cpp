// The modal guard around the driver's dialogs: the host's window is disabled while a dialog is
// up and given back, enabled and focused, when it closes; guards nest.
#include "DeviceTestSupport.h"

#include <tuple>

using namespace devtest;

namespace {

struct TMessage {
    HWND Window;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
};

// Top-level windows of a class of our own that note the focus messages they get.
class ModalGuardTest : public ::testing::Test {
protected:
    ComPtr<TTestDevice> Device = TTestDevice::Create();
    std::vector<HWND> Windows;

    static std::vector<TMessage>& Messages() {
        static std::vector<TMessage> messages;
        return messages;
    }
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) try {
        if (msg == WM_SETFOCUS)
            Messages().push_back({hWnd, msg, wParam, lParam});
        return DefWindowProcA(hWnd, msg, wParam, lParam);
    } catch (...) {
        return 0;
    }
    static constexpr char ClassName[] = "OrvelModalGuardTest";

    void SetUp() override {
        static const ATOM registered = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = &WindowProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = ClassName;
            return RegisterClassA(&wc);
        }();
        ASSERT_NE(registered, 0);
        Messages().clear();
    }
    void TearDown() override {
        for (HWND w : Windows)
            DestroyWindow(w);
    }

    HWND NewWindow() {
        HWND w = CreateWindowExA(0, ClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(w, nullptr);
        Windows.push_back(w);
        return w;
    }
    // A window in the foreground, as the host's main window is when it opens our dialog.
    HWND ForegroundWindow() {
        HWND w = NewWindow();
        EXPECT_TRUE(SetForegroundWindow(w));
        EXPECT_EQ(GetForegroundWindow(), w);
        return w;
    }
    // The explicit focus message of EndModal; activation may send one of its own, with the
    // window that lost the focus as its wParam.
    static int BareFocusMessagesTo(HWND w) {
        int n = 0;
        for (const TMessage& m : Messages())
            if (m.Window == w && m.WParam == 0 && m.LParam == 0)
                ++n;
        return n;
    }
};

} // namespace

TEST_F(ModalGuardTest, ForegroundWindowIsDisabledAndGivenBackWithTheFocus) {
    HWND host = ForegroundWindow();
    Device->BeginModal();
    EXPECT_FALSE(IsWindowEnabled(host));
    EXPECT_EQ(Device->WindowStack(), std::vector<HWND>{host});

    HWND dialog = ForegroundWindow(); // the dialog takes the foreground
    Messages().clear();
    Device->EndModal();
    EXPECT_TRUE(IsWindowEnabled(host));
    EXPECT_EQ(GetForegroundWindow(), host);
    EXPECT_EQ(BareFocusMessagesTo(host), 1);
    EXPECT_EQ(BareFocusMessagesTo(dialog), 0);
    EXPECT_TRUE(Device->WindowStack().empty());
}

TEST_F(ModalGuardTest, WindowStillInTheForegroundIsOnlyEnabled) {
    HWND host = ForegroundWindow();
    Device->BeginModal();
    Messages().clear();
    Device->EndModal();
    EXPECT_TRUE(IsWindowEnabled(host));
    EXPECT_EQ(GetForegroundWindow(), host);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ModalGuardTest, NestedGuardsUnwindInReverseOrder) {
    HWND host = ForegroundWindow();
    Device->BeginModal();
    HWND dialog = ForegroundWindow();
    Device->BeginModal();
    HWND inner = ForegroundWindow();
    EXPECT_EQ(Device->WindowStack(), (std::vector<HWND>{host, dialog}));
    EXPECT_FALSE(IsWindowEnabled(host));
    EXPECT_FALSE(IsWindowEnabled(dialog));

    DestroyWindow(inner); // the inner dialog closes
    Device->EndModal();
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_FALSE(IsWindowEnabled(host));
    EXPECT_EQ(GetForegroundWindow(), dialog);
    Device->EndModal();
    EXPECT_TRUE(IsWindowEnabled(host));
    EXPECT_EQ(GetForegroundWindow(), host);
    EXPECT_TRUE(Device->WindowStack().empty());
}

TEST_F(ModalGuardTest, EndModalWithoutBeginModalTouchesNothing) {
    HWND host = ForegroundWindow();
    EnableWindow(host, FALSE);
    Messages().clear();
    Device->EndModal();
    EXPECT_FALSE(IsWindowEnabled(host));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ModalGuardTest, NoForegroundWindowIsPushedAsNullAndPoppedWithoutTouchingAnyWindow) {
    // The only window in the foreground goes away, and with it the foreground.
    DestroyWindow(ForegroundWindow());
    ASSERT_EQ(GetForegroundWindow(), nullptr);
    Device->BeginModal();
    EXPECT_EQ(Device->WindowStack(), std::vector<HWND>{nullptr});

    HWND other = ForegroundWindow();
    Device->BeginModal();
    Messages().clear();
    Device->EndModal();
    ASSERT_TRUE(IsWindowEnabled(other));
    HWND later = NewWindow();
    EnableWindow(later, FALSE);
    Messages().clear();
    Device->EndModal();
    EXPECT_TRUE(Device->WindowStack().empty());
    EXPECT_EQ(GetForegroundWindow(), other);
    EXPECT_FALSE(IsWindowEnabled(later));
    EXPECT_TRUE(Messages().empty());
}
