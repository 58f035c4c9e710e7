// Controls held in memory for the settings forms' logic, and a desktop that records the boxes it
// was asked to show. Free of the test framework: the fuzzers drive the forms with them too.
#pragma once

#include "settings/ufmDocParams.h"
#include "settings/uSettingsControls.h"

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace settingstest {

class TMemoryEdit : public ITextEdit {
public:
    WString Value;
    int Focused = 0;
    WString Text() const override { return Value; }
    void SetText(const WString& Text) override { Value = Text; }
    void Focus() override { ++Focused; }
};

class TMemoryDropDown : public IDropDown {
public:
    std::vector<WString> Items;
    int Index = -1;
    int Count() const override { return static_cast<int>(Items.size()); }
    WString Item(int i) const override { return Items.at(static_cast<std::size_t>(i)); }
    int ItemIndex() const override { return Index; }
    void SetItemIndex(int i) override { Index = i; }
    void Select(const std::string& utf8) {
        for (std::size_t i = 0; i < Items.size(); ++i)
            if (Items[i] == Utf8ToWide(utf8))
                Index = static_cast<int>(i);
    }
};

class TMemoryCheck : public ICheckBox {
public:
    bool On = false;
    bool Checked() const override { return On; }
    void SetChecked(bool c) override { On = c; }
};

class TMemoryState : public IControlState {
public:
    bool IsEnabled = true;
    bool IsVisible = true;
    bool Enabled() const override { return IsEnabled; }
    void SetEnabled(bool e) override { IsEnabled = e; }
    void SetVisible(bool v) override { IsVisible = v; }
};

class TMemoryPortPicker : public IPortPicker {
public:
    LONG Number = -1;
    LONG GetPortNumber() const override { return Number; }
    void SetPortNumber(LONG n) override {
        if (n >= 1 && n <= 255)
            Number = n;
    }
};

class TMemoryProgress : public IProgressBar {
public:
    std::vector<int> Positions;
    bool Visible = false;
    bool WasShown = false;
    void SetPosition(int p) override { Positions.push_back(p); }
    void SetVisible(bool v) override {
        Visible = v;
        WasShown = WasShown || v;
    }
};

// Boxes are noted in order as "error: ...", "info: ...", "ask: ..." (UTF-8).
class TRecordingUI : public ISettingsUI {
public:
    std::vector<std::string> Boxes;
    bool Answer = true;
    bool Administrator = true;
    int WaitDepth = 0;
    int MaxWaitDepth = 0;
    // Called when a box is shown, with what the desktop looks like at that moment.
    std::function<void()> OnBox;

    void ShowError(const WString& Text) override { Note("error: " + WideToUtf8(Text)); }
    void ShowInfo(const WString& Text) override { Note("info: " + WideToUtf8(Text)); }
    bool Confirm(const WString& Text) override {
        Note("ask: " + WideToUtf8(Text));
        return Answer;
    }
    void SetWaitCursor(bool Wait) override {
        WaitDepth += Wait ? 1 : -1;
        MaxWaitDepth = std::max(MaxWaitDepth, WaitDepth);
    }
    bool UserIsAdministrator() override { return Administrator; }

private:
    void Note(const std::string& box) {
        Boxes.push_back(box);
        if (OnBox)
            OnBox();
    }
};

class TMemoryGrid : public IGrid {
public:
    std::map<std::pair<int, int>, WString> Cells;
    WString Cell(int c, int r) const override {
        auto it = Cells.find({c, r});
        return it == Cells.end() ? WString() : it->second;
    }
    void SetCell(int c, int r, const WString& t) override { Cells[{c, r}] = t; }
    std::pair<int, int> Focused{-1, -1};
    void FocusCell(int c, int r) override { Focused = {c, r}; }
};

// The controls of TfmDocParams, by bit.
struct TDocControls {
    std::map<int, TMemoryCheck> Word1, Word2;
    TMemoryCheck r80, r81, r82;
    TMemoryEdit Spacing;
    TDocParamsControls Controls;
    explicit TDocControls(TMemoryProgress& progress) {
        for (int bit : {0, 1, 2, 3, 4, 5, 6, 7, 11, 12, 13, 14, 15})
            Controls.Word1[bit] = &Word1[bit];
        for (int bit : {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15})
            Controls.Word2[bit] = &Word2[bit];
        Controls.r1_80 = &r80;
        Controls.r1_81 = &r81;
        Controls.r1_82 = &r82;
        Controls.edTimeoutSlip = &Spacing;
        Controls.ProgressBar1 = &progress;
    }
};

} // namespace settingstest
