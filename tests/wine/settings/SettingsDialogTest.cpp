// The settings dialog end to end: a host creates the registered driver by ProgID and calls
// ShowSettingsDlg, while a robot thread finds the dialog, checks its tabs, captions, values and
// tab order, opens every further dialog, takes screenshots, changes values and presses OK or
// Cancel; the host then reads what GetSettings says, and the virtual printer's journal shows what
// the dialogs sent it. Argument 1: the folder for the screenshots; AZIMUTH_EMU_DIR: the printer's
// folder, emptied at the start.
#include "Png.h"

#include <commctrl.h>
#include <oleauto.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

int Passed = 0, Failed = 0;
std::wstring ShotFolder;

std::string Narrow(const std::wstring& w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
    return s;
}

void Check(const std::string& what, bool ok, const std::wstring& detail = L"") {
    (ok ? Passed : Failed)++;
    std::printf("%s: %s%s%s\n", ok ? "ok" : "FAIL", what.c_str(), detail.empty() ? "" : " -- ",
                Narrow(detail).c_str());
    std::fflush(stdout);
}

std::wstring TextOf(HWND w) {
    wchar_t buffer[1024] = {};
    SendMessageW(w, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

std::wstring ClassOf(HWND w) {
    wchar_t buffer[128] = {};
    GetClassNameW(w, buffer, 128);
    return buffer;
}

// Polls until the condition holds or the time is up: the dialog runs on the host's thread, so
// what the robot posts shows there a moment later, later still on a busy machine.
bool WaitFor(const std::function<bool()>& condition, int ms = 15000) {
    for (int waited = 0; waited < ms; waited += 50) {
        if (condition())
            return true;
        Sleep(50);
    }
    return condition();
}

HWND WaitWindow(const wchar_t* caption, int ms = 15000) {
    HWND w = nullptr;
    WaitFor([&] {
        w = FindWindowW(L"#32770", caption);
        return w && IsWindowVisible(w);
    }, ms);
    return w && IsWindowVisible(w) ? w : nullptr;
}

bool WaitGone(HWND w, int ms = 15000) {
    return WaitFor([&] { return !IsWindow(w); }, ms);
}

// The virtual printer's journal (one JSON object per call), as UTF-8 lines.
std::filesystem::path PrinterFolder() {
    const wchar_t* folder = _wgetenv(L"AZIMUTH_EMU_DIR");
    return folder ? folder : L"";
}

std::vector<std::string> JournalLines() {
    std::vector<std::string> lines;
    std::ifstream in(PrinterFolder() / L"port-COM1" / L"journal.jsonl");
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Whether a call of FN with that answer (and TEXT among its arguments, when given) is journalled,
// waiting for it to a deadline. The journal's objects have no nested objects, so a field is
// found by its text.
bool Journalled(const char* fn, int answer, const std::string& text = "", int ms = 20000) {
    const std::string name = std::string("\"fn\":\"") + fn + "\"", rc = "\"rc\":" + std::to_string(answer);
    return WaitFor([&] {
        for (const std::string& line : JournalLines()) {
            const std::size_t at = line.find(rc);
            const char after = at == std::string::npos || at + rc.size() >= line.size() ? '\0' : line[at + rc.size()];
            if (line.find(name) != std::string::npos && (after == ',' || after == '}') &&
                (text.empty() || line.find(text) != std::string::npos))
                return true;
        }
        return false;
    }, ms);
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM p) {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The first child of that class (and text, when given).
HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text = nullptr) {
    for (HWND w : Children(parent))
        if (_wcsicmp(ClassOf(w).c_str(), cls) == 0 && (!text || TextOf(w) == text))
            return w;
    return nullptr;
}

std::wstring ComboText(HWND combo) {
    const LRESULT i = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (i == CB_ERR)
        return L"";
    wchar_t buffer[256] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

// A picture of one colour shows nothing: a window drawn where no display is, or not at all.
void Shot(HWND w, const wchar_t* name) {
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(700);
    bool oneColour = true;
    const bool saved = SaveWindowPng(w, ShotFolder + L"\\" + name, oneColour);
    Check("screenshot " + Narrow(name) + " shows more than one colour", saved && !oneColour);
}

void Click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

// The text of a cell of a list view of this process.
std::wstring CellText(HWND view, int row, int column) {
    wchar_t buffer[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 256;
    SendMessageW(view, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

// Clicks a cell of a grid dialog, as the user opens it for editing; its in-place editor.
HWND EditCell(HWND grid, int row, int column) {
    RECT r{};
    r.top = column;
    r.left = LVIR_BOUNDS;
    SendMessageW(grid, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    // The editor ends when it loses the focus: a dialog still being activated on a busy machine
    // can take it away from the first click, so the click is repeated each second.
    HWND edit = nullptr;
    int polls = 0;
    WaitFor([&] {
        if (polls++ % 20 == 0) {
            SendMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, at);
            SendMessageW(grid, WM_LBUTTONUP, 0, at);
        }
        edit = Child(grid, L"Edit");
        return edit && IsWindowVisible(edit);
    });
    return edit && IsWindowVisible(edit) ? edit : nullptr;
}

// How far a line's ink reaches in that font: past its measured width by the last glyph's
// overhang, and by more where small type is drawn wider than it measures.
int InkWidth(HFONT font, const std::wstring& text) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    const int w = size.cx + 32, h = size.cy > 0 ? size.cy : 1;
    void* bits = nullptr;
    HBITMAP bitmap = CreatePixels(screen, w, h, bits);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, w, h, WHITENESS);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutW(dc, 0, 0, text.c_str(), static_cast<int>(text.size()));
    GdiFlush();
    int ink = 0;
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = w - 1; x >= ink; --x)
            if ((pixels[static_cast<std::size_t>(y) * w + x] & 0xFFFFFF) != 0xFFFFFF) {
                ink = x + 1;
                break;
            }
    SelectObject(dc, oldBitmap);
    SelectObject(dc, oldFont);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return ink;
}

// Where a caption does not fit its control in the control's own font: "text (needs x y, has x y)"
// for each, over every window of the dialog and its pages, and the headings of its lists.
std::wstring CaptionsCutIn(HWND dialog) {
    std::wstring cut;
    // The system draws a list's heading, and a disabled button's caption, into a box just as wide
    // as the text measures: ink that reaches past it is cut. Drawn by the driver, they have the
    // control's room.
    auto systemDrawn = [](HWND w) {
        return GetWindowLongPtrW(w, GWLP_WNDPROC) == static_cast<LONG_PTR>(GetClassLongPtrW(w, GCLP_WNDPROC));
    };
    auto measure = [&](HWND w, const std::wstring& text, int room, int height, bool wrap, bool prefix,
                       bool clipped = false) {
        HDC dc = GetDC(w);
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0));
        HGDIOBJ old = SelectObject(dc, font);
        SIZE need{};
        if (wrap) {
            RECT r{0, 0, room, 0};
            DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | (prefix ? 0 : DT_NOPREFIX));
            need = SIZE{r.right, r.bottom};
        } else {
            std::wstring shown = text;
            if (prefix)
                shown.erase(std::remove(shown.begin(), shown.end(), L'&'), shown.end());
            GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &need);
            if (clipped && need.cx < room)
                room = need.cx;
            need.cx = std::max<LONG>(need.cx, InkWidth(font, shown));
        }
        SelectObject(dc, old);
        ReleaseDC(w, dc);
        if (need.cx > room || need.cy > height)
            cut += L"\"" + text + L"\" (needs " + std::to_wstring(need.cx) + L"x" + std::to_wstring(need.cy) +
                   L", has " + std::to_wstring(room) + L"x" + std::to_wstring(height) + L"); ";
    };
    for (HWND w : Children(dialog)) {
        const std::wstring cls = ClassOf(w);
        const LONG style = GetWindowLongW(w, GWL_STYLE);
        RECT r;
        GetClientRect(w, &r);
        if (_wcsicmp(cls.c_str(), L"SysListView32") == 0) {
            HWND header = reinterpret_cast<HWND>(SendMessageW(w, LVM_GETHEADER, 0, 0));
            for (int i = 0;; ++i) {
                wchar_t text[128] = {};
                LVCOLUMNW column{};
                column.mask = LVCF_TEXT | LVCF_WIDTH;
                column.pszText = text;
                column.cchTextMax = 128;
                if (!SendMessageW(w, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)))
                    break;
                HDITEMW item{};
                item.mask = HDI_FORMAT;
                SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
                // The heading's text keeps three edges' width from either side.
                measure(header, text, column.cx - 6 * GetSystemMetrics(SM_CXEDGE), 1 << 16, false, false,
                        (item.fmt & HDF_OWNERDRAW) == 0);
            }
            continue;
        }
        const std::wstring text = TextOf(w);
        if (text.empty())
            continue;
        if (_wcsicmp(cls.c_str(), L"Button") == 0) {
            const LONG type = style & BS_TYPEMASK;
            const bool wrap = (style & BS_MULTILINE) != 0;
            const bool clipped = !IsWindowEnabled(w) && systemDrawn(w);
            if (type == BS_GROUPBOX)
                measure(w, text, r.right - 16, r.bottom, false, true);
            else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                     type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE)
                measure(w, text, r.right - GetSystemMetrics(SM_CXMENUCHECK) - 6, r.bottom, wrap, true, clipped);
            else
                measure(w, text, r.right - 8, r.bottom - 4, wrap, true, clipped);
        } else if (_wcsicmp(cls.c_str(), L"Static") == 0) {
            const LONG type = style & SS_TYPEMASK;
            if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT)
                measure(w, text, r.right, r.bottom, true, (style & SS_NOPREFIX) == 0);
            else if (type == SS_LEFTNOWORDWRAP)
                measure(w, text, r.right, r.bottom, false, (style & SS_NOPREFIX) == 0);
        }
    }
    return cut;
}

// Every caption of the dialog fits its control.
void CheckCaptionsFit(HWND dialog, const std::string& name) {
    const std::wstring cut = CaptionsCutIn(dialog);
    Check("every caption fits in " + name, cut.empty(), cut);
}

// The window of another thread that has the keyboard focus.
HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// ---------------------------------------------------------------------------------------------
// The host's side: late-bound calls of the driver.

struct THost {
    IDispatch* Driver = nullptr;

    DISPID Id(const wchar_t* name) {
        DISPID id = -1;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        Driver->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        return id;
    }
    // A command: (InData, var OutData, Timeout) -> Boolean.
    bool Command(const wchar_t* name, VARIANT& inData, VARIANT& outData) {
        VARIANT args[3];
        VariantInit(&args[0]);
        args[0].vt = VT_I4;
        args[0].lVal = 0;
        VariantInit(&args[1]);
        args[1].vt = VT_BYREF | VT_VARIANT;
        args[1].pvarVal = &outData;
        args[2] = inData;
        DISPPARAMS params{args, nullptr, 3, 0};
        VARIANT result;
        VariantInit(&result);
        const HRESULT hr = Driver->Invoke(Id(name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                                          nullptr, nullptr);
        return SUCCEEDED(hr) && result.vt == VT_BOOL && result.boolVal != VARIANT_FALSE;
    }
    // A parameter's value as text, from GetSettings.
    std::wstring Setting(const wchar_t* name) {
        VARIANT in, out;
        VariantInit(&in);
        VariantInit(&out);
        if (!Command(L"GetSettings", in, out) || !(out.vt & VT_ARRAY))
            return L"<no settings>";
        LONG zero = 0;
        VARIANT table;
        VariantInit(&table);
        SafeArrayGetElement(out.parray, &zero, &table);
        LONG lower = 0, upper = -1;
        SafeArrayGetLBound(table.parray, 2, &lower);
        SafeArrayGetUBound(table.parray, 2, &upper);
        std::wstring value = L"<missing>";
        for (LONG i = lower; i <= upper; ++i) {
            VARIANT n, v;
            VariantInit(&n);
            VariantInit(&v);
            LONG at[2] = {0, i};
            SafeArrayGetElement(table.parray, at, &n);
            if (n.vt == VT_BSTR && _wcsicmp(n.bstrVal, name) == 0) {
                at[0] = 1;
                SafeArrayGetElement(table.parray, at, &v);
                VariantChangeType(&v, &v, 0, VT_BSTR);
                value = v.vt == VT_BSTR ? v.bstrVal : L"<not text>";
            }
            VariantClear(&n);
            VariantClear(&v);
        }
        VariantClear(&table);
        VariantClear(&out);
        return value;
    }
    // ShowSettingsDlg while the robot works the dialog; the answer and the code on failure.
    bool ShowSettings(const std::function<void()>& robot, LONG& code) {
        std::thread worker(robot);
        VARIANT in, out;
        VariantInit(&in);
        VariantInit(&out);
        const bool ok = Command(L"ShowSettingsDlg", in, out);
        worker.join();
        code = 0;
        if (!ok && (out.vt & VT_ARRAY)) {
            LONG zero = 0;
            VARIANT c;
            VariantInit(&c);
            SafeArrayGetElement(out.parray, &zero, &c);
            code = c.vt == VT_I4 ? c.lVal : -1;
        }
        VariantClear(&out);
        return ok;
    }
};

// ---------------------------------------------------------------------------------------------
// The robot's side.

struct TShell {
    HWND Window = nullptr;
    HWND Tabs = nullptr;
    HWND Page = nullptr; // the fiscal page
    HWND Name = nullptr, Pass = nullptr, Port = nullptr, Baud = nullptr;

    bool Find() {
        Window = WaitWindow(L"Настройки");
        if (!Window)
            return false;
        Tabs = Child(Window, L"SysTabControl32");
        for (HWND w : Children(Window))
            if (GetParent(w) == Window && ClassOf(w) == L"#32770" && TextOf(w) == L"Настройки")
                Page = w;
        if (!Page)
            return false;
        std::vector<HWND> edits, combos;
        for (HWND w : Children(Page)) {
            if (_wcsicmp(ClassOf(w).c_str(), L"Edit") == 0)
                edits.push_back(w);
            if (_wcsicmp(ClassOf(w).c_str(), L"ComboBox") == 0)
                combos.push_back(w);
        }
        if (edits.size() < 2 || combos.size() < 2)
            return false;
        Name = edits[0];
        Pass = edits[1];
        Port = combos[0];
        Baud = combos[1];
        return true;
    }
    void SelectTab(int i) {
        SendMessageW(Tabs, TCM_SETCURSEL, static_cast<WPARAM>(i), 0);
        NMHDR header{Tabs, static_cast<UINT_PTR>(GetDlgCtrlID(Tabs)), TCN_SELCHANGE};
        SendMessageW(Window, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    }
    void Close(const wchar_t* button) { Click(Child(Window, L"Button", button)); }
};

std::wstring TabText(HWND tabs, int i) {
    wchar_t buffer[128] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 128;
    SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

// Opens a dialog with a button, checks its caption, takes its picture and cancels it. While it
// is open the settings window behind it takes no input; afterwards it does again.
void VisitDialog(HWND button, const wchar_t* caption, const wchar_t* shot, const std::function<void(HWND)>& look = {}) {
    HWND settings = GetAncestor(button, GA_ROOT);
    Click(button);
    HWND dialog = WaitWindow(caption);
    Check("dialog opens: " + Narrow(caption), dialog != nullptr);
    if (!dialog)
        return;
    Check("the settings window is disabled under " + Narrow(caption), !IsWindowEnabled(settings));
    CheckCaptionsFit(dialog, Narrow(caption));
    if (look)
        look(dialog);
    Shot(dialog, shot);
    Click(Child(dialog, L"Button", L"Отмена"));
    Check("dialog closes: " + Narrow(caption), WaitGone(dialog));
    Check("the settings window is enabled again after " + Narrow(caption), IsWindowEnabled(settings) != FALSE);
}

// A tax name with the stored list's separator: the error box, then the dialog still open with
// what was typed, the focus in the cell at fault.
void RefusedInputKeepsTheDialog(HWND page) {
    Click(Child(page, L"Button", L"Налоговые группы"));
    HWND dialog = WaitWindow(L"Настройки налоговых групп");
    Check("the tax groups open for a refused name", dialog != nullptr);
    if (!dialog)
        return;
    HWND edit = EditCell(Child(dialog, L"SysListView32"), 2, 1);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"НДС;5"));
    Click(Child(dialog, L"Button", L"OK"));
    HWND box = WaitWindow(L"Ошибка");
    Check("the name is refused in an error box", box != nullptr);
    if (box) {
        RECT both, boxRect;
        GetWindowRect(dialog, &both);
        GetWindowRect(box, &boxRect);
        UnionRect(&both, &both, &boxRect);
        Sleep(700);
        bool oneColour = true;
        const bool saved = SaveScreenPng(both, ShotFolder + L"\\refused-input-box.png", oneColour);
        Check("screenshot refused-input-box.png shows more than one colour", saved && !oneColour);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        WaitGone(box);
    }
    Check("the dialog stays open, with the name typed in its open cell, which has the focus", WaitFor([&] {
              return IsWindowVisible(dialog) && IsWindowVisible(edit) && TextOf(edit) == L"НДС;5" &&
                     FocusOf(dialog) == edit;
          }),
          TextOf(edit));
    Shot(dialog, L"refused-input.png");
    Click(Child(dialog, L"Button", L"Отмена"));
    Check("Cancel closes it", WaitGone(dialog));
}

void LookAndConfirm() {
    TShell shell;
    Check("the settings dialog appears with the fiscal page", shell.Find());
    if (!shell.Window)
        return;
    if (!shell.Page) {
        PostMessageW(shell.Window, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    Check("two tabs", SendMessageW(shell.Tabs, TCM_GETITEMCOUNT, 0, 0) == 2);
    Check("first tab", TabText(shell.Tabs, 0) == L"Настройки", TabText(shell.Tabs, 0));
    Check("information tab last", TabText(shell.Tabs, 1) == L"Информация", TabText(shell.Tabs, 1));
    Check("cashier name", TextOf(shell.Name) == L"Кассир", TextOf(shell.Name));
    Check("password", TextOf(shell.Pass) == L"QWTZ", TextOf(shell.Pass));
    Check("password is masked", (GetWindowLongW(shell.Pass, GWL_STYLE) & ES_PASSWORD) != 0);
    Check("a port is chosen", SendMessageW(shell.Port, CB_GETCURSEL, 0, 0) != CB_ERR);
    Check("speed", ComboText(shell.Baud) == L"19200", ComboText(shell.Baud));
    for (const wchar_t* caption : {L"Дополнительно", L"ОК", L"Отмена"})
        Check("shell button " + Narrow(caption), Child(shell.Window, L"Button", caption) != nullptr);
    // The page's tab order, from the port on.
    const wchar_t* order[] = {L"Установить скорость", L"", L"", L"Настройки документа", L"Настройки видов оплаты",
                              L"Шапка и подвал чека", L"Налоговые группы", L"Изменить дату и время",
                              L"Информация о ККМ", L"Z - Отчет", L"X - Отчет"};
    HWND at = shell.Baud;
    bool inOrder = GetNextDlgTabItem(shell.Page, shell.Port, FALSE) == shell.Baud;
    for (const wchar_t* text : order) {
        at = GetNextDlgTabItem(shell.Page, at, FALSE);
        if (*text)
            inOrder = inOrder && TextOf(at) == text;
    }
    Check("tab order of the fiscal page", inOrder);
    CheckCaptionsFit(shell.Window, "the settings window and its pages");
    Shot(shell.Window, L"shell-fiscal-page.png");
    shell.SelectTab(1);
    Shot(shell.Window, L"shell-information.png");
    shell.SelectTab(0);

    PostMessageW(shell.Window, WM_COMMAND, 203, 0); // "Показать полный список настроек"
    HWND list = WaitWindow(L"Список настроек");
    Check("the full settings list opens", list != nullptr);
    if (list) {
        HWND view = Child(list, L"SysListView32");
        Check("the list shows every parameter", SendMessageW(view, LVM_GETITEMCOUNT, 0, 0) >= 14);
        Check("the settings window is disabled under the list", !IsWindowEnabled(shell.Window));
        CheckCaptionsFit(list, "the full settings list");
        Shot(list, L"settings-list.png");
        Click(Child(list, L"Button", L"Отмена"));
        Check("the list closes", WaitGone(list));
        Check("the settings window is enabled again after the list", IsWindowEnabled(shell.Window) != FALSE);
    }
    VisitDialog(Child(shell.Page, L"Button", L"Настройки документа"), L"Настройка параметров документа",
                L"document-parameters.png", [](HWND d) {
                    HWND bit4 = Child(d, L"Button", L"Печатать заголовок перед документом, а не после");
                    Check("ParamDoc1 432 ticks bit 4", SendMessageW(bit4, BM_GETCHECK, 0, 0) == BST_CHECKED);
                    HWND bit7 = Child(d, L"Button", L"Не требуется команда \"Начало сеанса\"");
                    Check("and bit 7, greyed", SendMessageW(bit7, BM_GETCHECK, 0, 0) == BST_CHECKED &&
                                                   !IsWindowEnabled(bit7));
                    HWND fiscal = Child(d, L"Button", L"Фискальный документ открывает смену");
                    Check("and selects the fiscal document", SendMessageW(fiscal, BM_GETCHECK, 0, 0) == BST_CHECKED);

                });
    VisitDialog(Child(shell.Page, L"Button", L"Настройки видов оплаты"), L"Настройки видов оплаты",
                L"payment-names.png", [&](HWND d) {
                    Check("the grid shares its row-height images, which it frees once itself",
                          (GetWindowLongW(Child(d, L"SysListView32"), GWL_STYLE) & LVS_SHAREIMAGELISTS) != 0);
                    Shot(shell.Window, L"nested-over-disabled-settings.png");
                });
    VisitDialog(Child(shell.Page, L"Button", L"Шапка и подвал чека"), L"Шапка и подвал чека", L"header-footer.png",
                [](HWND d) {
                    HWND header = Child(d, L"Edit");
                    for (int i = 0; i < 40; ++i)
                        SendMessageW(header, WM_CHAR, 'x', 0);
                    Check("a header line takes 38 characters", TextOf(header) == std::wstring(38, L'x'),
                          TextOf(header));
                    for (int i = 0; i < 6; ++i)
                        SendMessageW(header, WM_CHAR, '\r', 0);
                    Check("and the header 4 lines",
                          SendMessageW(header, EM_GETLINECOUNT, 0, 0) == 4);
                });
    VisitDialog(Child(shell.Page, L"Button", L"Налоговые группы"), L"Настройки налоговых групп", L"tax-groups.png",
                [](HWND d) {
                    HWND grid = Child(d, L"SysListView32");
                    HWND edit = EditCell(grid, 1, 2);
                    Check("a rate is edited in place", edit != nullptr);
                    if (!edit)
                        return;
                    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
                    for (wchar_t key : std::wstring(L"1x8.5,"))
                        SendMessageW(edit, WM_CHAR, key, 0);
                    Check("a rate takes digits and one decimal separator", TextOf(edit) == L"18,5", TextOf(edit));
                    PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
                    WaitFor([&] { return !IsWindowVisible(edit); });
                    // From the keyboard: Enter opens the row's name, Tab goes on to its rate, Enter stores.
                    LVITEMW row{};
                    row.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
                    row.state = LVIS_SELECTED | LVIS_FOCUSED;
                    SendMessageW(grid, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&row));
                    PostMessageW(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(grid), TRUE);
                    PostMessageW(grid, WM_KEYDOWN, VK_RETURN, 0);
                    Check("Enter in the grid edits the row instead of closing the dialog", WaitFor([&] {
                              return IsWindow(d) && IsWindowVisible(edit) && TextOf(edit) == L"НДС";
                          }),
                          TextOf(edit));
                    PostMessageW(edit, WM_KEYDOWN, VK_TAB, 0);
                    RECT rate{};
                    rate.top = 2;
                    rate.left = LVIR_BOUNDS;
                    SendMessageW(grid, LVM_GETSUBITEMRECT, 3, reinterpret_cast<LPARAM>(&rate));
                    Check("Tab moves the edit on to the rate", WaitFor([&] {
                              RECT editor{};
                              GetWindowRect(edit, &editor);
                              MapWindowPoints(nullptr, grid, reinterpret_cast<POINT*>(&editor), 2);
                              return IsWindowVisible(edit) && editor.left == rate.left && TextOf(edit) == L"10";
                          }),
                          TextOf(edit));
                    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"7"));
                    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
                    Check("and Enter stores it in the cell",
                          WaitFor([&] { return CellText(grid, 3, 2) == L"7"; }) && IsWindow(d), CellText(grid, 3, 2));
                });

    RefusedInputKeepsTheDialog(shell.Page);

    // Context help of the OK button: its text in a popup near the button.
    {
        HWND ok = Child(shell.Window, L"Button", L"ОК");
        RECT r;
        GetWindowRect(ok, &r);
        HELPINFO help{};
        help.cbSize = sizeof help;
        help.iContextType = HELPINFO_WINDOW;
        help.iCtrlId = GetDlgCtrlID(ok);
        help.hItemHandle = ok;
        help.MousePos = POINT{r.left + 5, r.top + 5};
        SendMessageW(shell.Window, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
        HWND popup = nullptr;
        Check("F1 on OK shows a help popup", WaitFor([&] {
                  EnumWindows(
                      [](HWND w, LPARAM p) {
                          if (IsWindowVisible(w) && ClassOf(w) == L"OrvelHelpPopup") {
                              *reinterpret_cast<HWND*>(p) = w;
                              return FALSE;
                          }
                          return TRUE;
                      },
                      reinterpret_cast<LPARAM>(&popup));
                  return popup != nullptr;
              }));
        if (popup)
            Shot(popup, L"help-popup-ok.png");
    }

    // A service action on the virtual printer: its identity in an information box.
    Click(Child(shell.Page, L"Button", L"Информация о ККМ"));
    HWND info = WaitWindow(L"Информация");
    Check("the printer's identity is shown", info != nullptr);
    if (info) {
        bool identity = false;
        for (HWND w : Children(info))
            identity = identity || TextOf(w).rfind(L"Тип ККМ: ", 0) == 0;
        Check("line by line from its type on", identity);
        Shot(info, L"printer-identity.png");
        PostMessageW(info, WM_COMMAND, IDOK, 0);
        WaitGone(info);
    }

    // The header programmed into the virtual printer and stored; an X report printed there.
    Click(Child(shell.Page, L"Button", L"Шапка и подвал чека"));
    HWND headerDialog = WaitWindow(L"Шапка и подвал чека");
    Check("the header dialog opens to be programmed", headerDialog != nullptr);
    if (headerDialog) {
        SendMessageW(Child(headerDialog, L"Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"МАГАЗИН №1"));
        Check("its OK reads in Cyrillic letters", Child(headerDialog, L"Button", L"ОК") != nullptr);
        Click(Child(headerDialog, L"Button", L"ОК"));
        Check("OK closes the header dialog", WaitGone(headerDialog));
        Check("the printer took the header", Journalled("SetHeader", 0, "МАГАЗИН №1"));
        Check("and the footer", Journalled("SetTail", 0));
    }
    Click(Child(shell.Page, L"Button", L"X - Отчет"));
    Check("the printer printed the X report", Journalled("XReport", 0));
    // An error box of the report would be up before the dialog's thread answers again.
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(shell.Window, WM_NULL, 0, 0, SMTO_BLOCK, 20000, &answer);
    Check("with no error box", FindWindowW(L"#32770", L"Ошибка") == nullptr);

    SendMessageW(shell.Name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Тестовый кассир"));
    SendMessageW(shell.Baud, CB_SETCURSEL, 4, 0); // 57600
    shell.Close(L"ОК");
    Check("OK closes the dialog", WaitGone(shell.Window));
}

// In the full settings list: the port edited in place to 3 and confirmed.
void EditPortInTheList(HWND shellWindow) {
    PostMessageW(shellWindow, WM_COMMAND, 203, 0);
    HWND list = WaitWindow(L"Список настроек");
    Check("the list opens for an edit", list != nullptr);
    if (!list)
        return;
    HWND view = Child(list, L"SysListView32");
    int row = -1;
    const int rows = static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < rows && row < 0; ++i)
        if (CellText(view, i, 0) == L"Порт")
            row = i;
    Check("the port has a row", row >= 0);
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(view, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    RECT r{};
    r.left = LVIR_BOUNDS;
    SendMessageW(view, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM(200, (r.top + r.bottom) / 2);
    PostMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(view, WM_LBUTTONUP, 0, at);
    PostMessageW(view, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(view, WM_LBUTTONUP, 0, at);
    HWND edit = nullptr;
    WaitFor([&] {
        for (HWND w : Children(list))
            if (_wcsicmp(ClassOf(w).c_str(), L"Edit") == 0 && IsWindowVisible(w))
                edit = w;
        return edit != nullptr;
    });
    Check("a double click opens the editor on the value", edit != nullptr && TextOf(edit) == L"1",
          edit ? TextOf(edit) : L"no editor");
    if (edit) {
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"3"));
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
        const bool stored = WaitFor([&] { return CellText(view, row, 1) == L"3"; });
        Check("Enter stores the typed value", stored, CellText(view, row, 1));
        Shot(list, L"settings-list-edited.png");
    }
    Click(Child(list, L"Button", L"ОК"));
    Check("the list closes with OK", WaitGone(list));
}

// Whether the port picker shows COM3: its entry of that name where the system lists the port,
// else the entry added for it last (whose name is drawn from its record, its text a blank).
bool ShowsPort3(HWND combo) {
    const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0), count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    bool listed = false;
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        listed = listed || std::wstring(text) == L"COM3";
    }
    if (selected < 0)
        return false;
    return listed ? ComboText(combo) == L"COM3" : selected == count - 1 && ComboText(combo) == L" ";
}

void ChangeAndCancel() {
    TShell shell;
    Check("the dialog opens again", shell.Find());
    if (!shell.Page)
        return;
    Check("it shows the confirmed name", TextOf(shell.Name) == L"Тестовый кассир", TextOf(shell.Name));
    EditPortInTheList(shell.Window);
    const bool shown = WaitFor([&] { return ShowsPort3(shell.Port); });
    Check("the page shows the port the list confirmed", shown,
          L"entry " + std::to_wstring(SendMessageW(shell.Port, CB_GETCURSEL, 0, 0)) + L" \"" + ComboText(shell.Port) + L"\"");
    SendMessageW(shell.Name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Другой"));
    shell.Close(L"Отмена");
    Check("Cancel closes the dialog", WaitGone(shell.Window));
}

void EmptyNameIsRefused() {
    TShell shell;
    Check("the dialog opens a third time", shell.Find());
    if (!shell.Page)
        return;
    SendMessageW(shell.Name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    shell.Close(L"ОК");
    HWND box = WaitWindow(L"Ошибка");
    Check("an empty name is refused in an error box", box != nullptr);
    if (box) {
        bool said = false;
        for (HWND w : Children(box))
            said = said || TextOf(w) == L"Необходимо задать имя оператора";
        Check("the box says why", said);
        Shot(box, L"error-empty-name.png");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        WaitGone(box);
    }
    Sleep(300);
    Check("the dialog stays open", IsWindow(shell.Window) != FALSE);
    shell.Close(L"Отмена");
    Check("then Cancel closes it", WaitGone(shell.Window));
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    ShotFolder = argc > 1 ? argv[1] : L".";
    CreateDirectoryW(ShotFolder.c_str(), nullptr);
    // The journal read below is this run's alone.
    std::error_code cleared;
    if (PrinterFolder().empty() || (std::filesystem::remove_all(PrinterFolder(), cleared), cleared)) {
        std::printf("FAIL: the printer's folder (AZIMUTH_EMU_DIR) cannot be emptied\n");
        return 1;
    }
    CoInitialize(nullptr);
    CLSID clsid;
    THost host;
    if (FAILED(CLSIDFromProgID(L"Ovra.Orvel27", &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&host.Driver)))) {
        std::printf("FAIL: Ovra.Orvel27 cannot be created\n");
        return 1;
    }
    LONG code = 0;
    Check("OK answers True", host.ShowSettings(LookAndConfirm, code));
    Check("the new cashier name is stored", host.Setting(L"DefCashierName") == L"Тестовый кассир",
          host.Setting(L"DefCashierName"));
    Check("the new speed is stored", host.Setting(L"BaudRate") == L"57600", host.Setting(L"BaudRate"));
    Check("the programmed header is stored", host.Setting(L"HeaderText") == L"МАГАЗИН №1", host.Setting(L"HeaderText"));
    Check("Cancel answers False", !host.ShowSettings(ChangeAndCancel, code));
    Check("with the code of a cancel", code == 201);
    Check("Cancel keeps the stored name", host.Setting(L"DefCashierName") == L"Тестовый кассир",
          host.Setting(L"DefCashierName"));
    Check("Cancel undoes the port confirmed in the list", host.Setting(L"PortNumber") == L"1",
          host.Setting(L"PortNumber"));
    Check("a refused OK and then Cancel answer False", !host.ShowSettings(EmptyNameIsRefused, code));
    host.Driver->Release();
    CoUninitialize();
    std::printf("RESULT: %d passed, %d failed\n", Passed, Failed);
    return Failed == 0 && Passed > 0 ? 0 : 1;
}
