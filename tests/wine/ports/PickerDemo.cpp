// Shows the port picker on a window, Wine's own ports tested, a port the system does not list
// added after the test (grey), the list dropped down. Then reads the marks back from the screen:
// each must have the colour of its entry's state. Writes READY_FILE once it is drawn and stays
// up until DONE_FILE exists (a screenshot is taken in between), at most 60 s.
//   orvel_ports_picker_demo READY_FILE DONE_FILE
#include "ports/win32/PortsComboBoxView.h"

#include <chrono>
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
        TPortsComboBoxView view(frame, 100, 10, 10, 320, 220);
        view.Show();
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        while (view.Picker().PortCheckRunning() && Clock::now() < deadline)
            Pump(std::chrono::milliseconds(50));
        view.Picker().SetPortNumber(42);
        SendMessageA(view.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
        Pump(std::chrono::milliseconds(500));

        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(view.Handle(), &info);
        HDC dc = GetDC(info.hwndList);
        for (int i = 0; i < view.Picker().Count(); ++i) {
            const TPortProp record = view.Picker().Record(i);
            RECT r{};
            SendMessageA(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
            const COLORREF mark = GetPixel(dc, r.left + (MarkLeft + MarkRight) / 2, r.top + (MarkTop + MarkBottom) / 2);
            const bool ok = mark == StateColours(record.State).Brush;
            failures += ok ? 0 : 1;
            std::printf("%s %-40s state %u mark %06lx\n", ok ? "ok  " : "FAIL", record.Name.c_str(), record.State,
                        static_cast<unsigned long>(mark));
        }
        ReleaseDC(info.hwndList, dc);
        // The dropped list is a window of its own: let it reach the screen before the shot.
        RedrawWindow(info.hwndList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
        Pump(std::chrono::milliseconds(300));
        if (view.Picker().Count() == 0 || view.Picker().GetPortNumber() != 42) {
            std::printf("FAIL the list is empty or COM42 is not selected\n");
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
