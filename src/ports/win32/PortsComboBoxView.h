// The port picker on a Win32 window: an owner-drawn drop-down list (fixed item height) showing
// each port's coloured mark and name, and a hidden notification window that repaints it when the
// open test posts PortStateChanged. Owner-draw messages go to the list's parent, so the view
// subclasses the parent for its own control's WM_MEASUREITEM and WM_DRAWITEM.
#pragma once

#include "ports/uPortsComboBox.h"

#include "platform/Platform.h"

#include <memory>

// The private message the open test posts after each port (wParam: the entry's index).
inline constexpr UINT PortStateChanged = 0xB034;

class TPortsComboBoxView : public TPortItems {
public:
    // Creates the list as child Id of Parent and fills it for ptCOM. Height is the height of the
    // dropped-down list.
    TPortsComboBoxView(HWND Parent, int Id, int X, int Y, int Width, int Height,
                       TPortsEnvironment Environment = SystemPortsEnvironment());
    // Stops the open test, then releases the notification window and the list.
    ~TPortsComboBoxView() override;
    TPortsComboBoxView(const TPortsComboBoxView&) = delete;
    TPortsComboBoxView& operator=(const TPortsComboBoxView&) = delete;

    HWND Handle() const noexcept { return FCombo; }
    TPortsComboBox& Picker() noexcept { return *FPicker; }
    // Shows the list; the open test starts when CheckPortsOnCreate is set.
    void Show();

    // One entry in a device context: the background, the mark in the colours of the state and the
    // record's name. Record null: the background only.
    static void DrawPortItem(HDC Dc, const RECT& Rect, const TPortProp* Record, bool Selected);

    void Clear() override;
    void Add(const std::string& Text) override;
    int ItemIndex() const override;
    void SetItemIndex(int Index) override;
    // Repaints the field and the dropped list.
    void Invalidate();

private:
    static LRESULT CALLBACK ParentProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR Id, DWORD_PTR Data);
    static LRESULT CALLBACK NotifyProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

    HWND FParent;
    int FId;
    HWND FNotify = nullptr;
    HWND FCombo = nullptr;
    std::unique_ptr<TPortsComboBox> FPicker;
};
