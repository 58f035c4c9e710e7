// Shows three port pickers on a window with Wine's own ports tested, one showing a port the
// system does not list added after the test (grey), one Wine's free COM1 (green), one a port
// that cannot be opened (red). Reads the marks back from the screen, in the dropped list and in
// each closed field: each must have the colour of its entry's state. Writes READY_FILE once it is drawn and stays
// up until DONE_FILE exists (a screenshot is taken in between), at most 60 s.
//   orvel_ports_picker_demo READY_FILE DONE_FILE
#include "ports/win32/PortsComboBoxView.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

void Pump(std::chrono::milliseconds For) {
    const auto until = Clock::now() + For;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (Clock::now() < until);
}

// 1 when the mark of Record, drawn in Rect, does not have the colour of its state.
int CheckMark(HDC Dc, const RECT& Rect, const TPortProp& Record, const char* Where) {
    const COLORREF mark = GetPixel(Dc, Rect.left + (MarkLeft + MarkRight) / 2, Rect.top + (MarkTop + MarkBottom) / 2);
    const bool ok = mark == StateColours(Record.State).Brush;
    std::printf("%s %-5s %-30s state %u mark %06lx\n", ok ? "ok  " : "FAIL", Where, Record.Name.c_str(), Record.State,
                static_cast<unsigned long>(mark));
    return ok ? 0 : 1;
}

bool Exists(const char* File) { return GetFileAttributesA(File) != INVALID_FILE_ATTRIBUTES; }

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvel_ports_picker_demo READY_FILE DONE_FILE\n");
        return 2;
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "Orvel27PickerDemo";
    RegisterClassA(&wc);
    HWND frame = CreateWindowExA(0, wc.lpszClassName, "Orvel27 port picker", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 360, 280, nullptr,
                                 nullptr, wc.hInstance, nullptr);
    int failures = 0;
    {
        // Three pickers, each showing one state in its closed field: COM42 added after the test
        // (grey), COM1 (Wine's own, free: green), COM7 (not there: red).
        TPortsComboBoxView grey(frame, 100, 10, 10, 320, 120), green(frame, 101, 10, 40, 320, 120),
            red(frame, 102, 10, 70, 320, 120);
        grey.Picker().SetPortNumber(7);
        red.Picker().SetPortNumber(7);
        for (TPortsComboBoxView* view : {&grey, &green, &red})
            view->Show();
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        while ((grey.Picker().PortCheckRunning() || green.Picker().PortCheckRunning() || red.Picker().PortCheckRunning()) &&
               Clock::now() < deadline)
            Pump(std::chrono::milliseconds(50));
        grey.Picker().SetPortNumber(42);
        green.Picker().SetPortNumber(1);
        Pump(std::chrono::milliseconds(200));

        // The marks as the screen shows them: the dropped list of the first picker, entry by
        // entry, then the closed field of each.
        SendMessageA(grey.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
        Pump(std::chrono::milliseconds(300));
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(grey.Handle(), &info);
        HDC dc = GetDC(info.hwndList);
        for (int i = 0; i < grey.Picker().Count(); ++i) {
            RECT r{};
            SendMessageA(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
            failures += CheckMark(dc, r, grey.Picker().Record(i), "list");
        }
        ReleaseDC(info.hwndList, dc);
        SendMessageA(grey.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
        Pump(std::chrono::milliseconds(200));
        for (TPortsComboBoxView* view : {&grey, &green, &red}) {
            GetComboBoxInfo(view->Handle(), &info);
            HDC field = GetDC(view->Handle());
            const int selected = view->Picker().GetPortNumber() < 0 ? -1 : static_cast<int>(SendMessageA(view->Handle(), CB_GETCURSEL, 0, 0));
            failures += CheckMark(field, info.rcItem, view->Picker().Record(selected), "field");
            ReleaseDC(view->Handle(), field);
        }
        const std::uint8_t shown[] = {grey.Picker().Record(grey.Picker().Count() - 1).State,
                                      green.Picker().Record(0).State, red.Picker().Record(red.Picker().Count() - 1).State};
        if (grey.Picker().GetPortNumber() != 42 || green.Picker().GetPortNumber() != 1 || red.Picker().GetPortNumber() != 7 ||
            shown[0] != psNotTested || shown[1] != psAvailable || shown[2] != psUnavailable) {
            std::printf("FAIL the pickers do not show COM42 grey, COM1 green and COM7 red\n");
            ++failures;
        }
        std::fflush(stdout);
        if (FILE* ready = std::fopen(argv[1], "w"))
            std::fclose(ready);
        const auto shot = Clock::now() + std::chrono::seconds(60);
        while (!Exists(argv[2]) && Clock::now() < shot)
            Pump(std::chrono::milliseconds(100));
    }
    DestroyWindow(frame);
    std::printf("%s\n", failures ? "FAILED" : "PASSED");
    return failures ? 1 : 0;
}
