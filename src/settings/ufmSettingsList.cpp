// TfrmSettingsList: row texts, the in-place editors and the list's events.
#include "settings/ufmSettingsList.h"

#include "settings/uSettingsTexts.h"

WString TfrmSettingsList::ValueText(const Variant& Value) {
    if (Value.Type() == VT_BOOL)
        return Utf8ToWide(Value.Raw().boolVal ? settingstexts::BooleanTrue : settingstexts::BooleanFalse);
    // A value the standard conversion cannot show (Null, an array) shows as nothing rather than
    // breaking the list.
    try {
        return Value.AsWide();
    } catch (const EConversionError&) {
        return {};
    }
}

WString TfrmSettingsList::CellText(int Row, int Column) const {
    const TSettingStruct* p = FDevice->GetParamByIndex(Row);
    if (!p)
        return {};
    switch (Column) {
    case 0:
        return AnsiToWide(p->Caption);
    case 1:
        return ValueText(p->Value);
    case 2:
        return ValueText(p->Default);
    default:
        return {};
    }
}

TSettingStruct* TfrmSettingsList::Selected() const {
    const int row = FView.SelectedRow();
    return row < 0 ? nullptr : FDevice->GetParamByIndex(row);
}

void TfrmSettingsList::BeginEdit() {
    if (FView.EditorVisible())
        return;
    const TSettingStruct* p = Selected();
    if (!p)
        return;
    FEditRow = FView.SelectedRow();
    if (p->Type == ptBoolean) {
        FEditor = cbEdit;
        bool on = false;
        try {
            on = p->Value.AsBoolean();
        } catch (const EConversionError&) {
        }
        FView.ShowCombo(on ? 1 : 0);
    } else {
        FEditor = edEdit;
        FView.ShowEdit(ValueText(p->Value));
    }
}

void TfrmSettingsList::EndEdit(bool Discard) {
    if (!FView.EditorVisible())
        return;
    if (!Discard) {
        if (TSettingStruct* p = FDevice->GetParamByIndex(FEditRow)) {
            // Not checked against the type: the device converts when it reads the value.
            if (FEditor == cbEdit)
                p->Value = Variant(FView.ComboIndex() == 1);
            else
                p->Value = Variant(FView.EditText());
            FView.RedrawRow(FEditRow);
        }
    }
    FEditRow = -1;
    FView.HideEditor();
}

void TfrmSettingsList::lvSettingsChange() {
    EndEdit(false);
    const TSettingStruct* p = Selected();
    FView.SetStatus(p ? AnsiToWide(p->Description) : WString());
}

void TfrmSettingsList::lvSettingsKeyDown(WORD Key) {
    if (Key == KeyEnter || Key == KeyF2)
        BeginEdit();
    else if (Key == KeyEscape)
        EndEdit(false);
}

void TfrmSettingsList::edEditKeyDown(WORD Key) {
    if (Key == KeyEnter) {
        if (FView.EditorVisible())
            EndEdit(false);
        else
            BeginEdit();
    } else if (Key == KeyEscape && FView.EditorVisible()) {
        EndEdit(true);
    }
}

void TfrmSettingsList::btnDefaultClick() {
    FDevice->ResetParamsToDefaults();
    FView.RedrawAll();
}

void TfrmSettingsList::miDefaultClick() {
    if (TSettingStruct* p = Selected()) {
        p->Value = p->Default;
        FView.RedrawRow(FView.SelectedRow());
    }
}
