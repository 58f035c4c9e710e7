// A string grid over a report list view: row 0 is the column header, column 0 the fixed numbers,
// and the other cells are edited in place with an edit box over the cell. From the keyboard:
// Enter or F2 edits a row's first cell; in the editor Enter stores, Escape drops, and Tab or
// Shift+Tab stores and goes on to the next or previous cell of the row.
#pragma once

#include "settings/win32/Win32Controls.h"

#include <functional>

class TListGrid : public IGrid {
public:
    TListGrid() = default;
    ~TListGrid() override;
    TListGrid(const TListGrid&) = delete;
    TListGrid& operator=(const TListGrid&) = delete;

    // The key filter of the cell editor: the column, the cell's text and the key, which it may
    // change; false swallows the key.
    std::function<bool(int Column, const WString& Text, WCHAR& Key)> KeyFilter;

    // Makes the list view and its editor in Dialog's window; Widths of the columns, Rows below
    // the header, each RowHeight pixels high.
    HWND Create(HWND Dialog, HFONT Font, int X, int Y, int Width, int Height, const std::vector<int>& Widths,
                const std::vector<WString>& Headings, int Rows, int RowHeight, int Id);
    WString Cell(int Column, int Row) const override;
    void SetCell(int Column, int Row, const WString& Text) override;
    void FocusCell(int Column, int Row) override;
    // Stores or drops what the editor holds and hides it.
    void EndEdit(bool Store);
    // The dialog's WM_NOTIFY from the list view; true when it was the grid's.
    bool OnNotify(NMHDR* Header);
    HWND List() const noexcept { return FList; }

private:
    static LRESULT CALLBACK EditProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    static LRESULT CALLBACK ListProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    void BeginEdit(int Row, int Column);
    // Tab in the editor: the next (or previous) cell of the row; past the last, the dialog's
    // next control.
    void MoveEdit(bool Back);

    HWND FList = nullptr;
    HWND FEdit = nullptr;
    WNDPROC FEditProc = nullptr;
    WNDPROC FListProc = nullptr;
    // Ours alone: the list view shares it and never destroys it.
    HIMAGELIST FRowHeight = nullptr;
    std::vector<WString> FHeadings;
    int FColumns = 0;
    int FEditRow = -1;
    int FEditColumn = -1;
};
