// The full settings list: rows, the in-place editors and the defaults.
#include "SettingsTestSupport.h"

#include "settings/ufmSettingsList.h"

using namespace settingstest;

namespace {

class TMemoryListView : public ISettingsListView {
public:
    int Row = -1;
    bool Visible = false;
    bool Combo = false;
    WString Edit;
    int ComboValue = 0;
    WString Status;
    std::vector<int> Redrawn;
    int Focused = 0;

    int SelectedRow() const override { return Row; }
    void RedrawRow(int r) override { Redrawn.push_back(r); }
    void RedrawAll() override { Redrawn.push_back(-1); }
    void SetStatus(const WString& t) override { Status = t; }
    bool EditorVisible() const override { return Visible; }
    void ShowEdit(const WString& t) override {
        Visible = true;
        Combo = false;
        Edit = t;
    }
    void ShowCombo(int i) override {
        Visible = true;
        Combo = true;
        ComboValue = i;
    }
    WString EditText() const override { return Edit; }
    int ComboIndex() const override { return ComboValue; }
    void HideEditor() override {
        Visible = false;
        ++Focused;
    }
};

class SettingsListTest : public ::testing::Test {
protected:
    ComPtr<TSettingsDevice> Device = TSettingsDevice::Create();
    TMemoryListView View;
    TfrmSettingsList List{*Device.Get(), View};

    int RowOf(const char* name) {
        for (LONG i = 0; i < Device->GetParamCount(); ++i)
            if (Device->GetParamByIndex(i)->Name == name)
                return static_cast<int>(i);
        return -1;
    }
    void Select(const char* name) {
        View.Row = RowOf(name);
        List.lvSettingsChange();
    }
};

} // namespace

TEST_F(SettingsListTest, ShowsEveryParameterInTableOrderWithCaptionValueAndDefault) {
    ASSERT_EQ(List.RowCount(), static_cast<int>(Device->GetParamCount()));
    EXPECT_EQ(U8(List.CellText(0, 0)), "Таймаут по умолчанию");
    EXPECT_EQ(U8(List.CellText(0, 1)), "120");
    Device->SetParamValue("DebugLogEnabled", Variant(true));
    EXPECT_EQ(U8(List.CellText(2, 1)), "True");
    EXPECT_EQ(U8(List.CellText(2, 2)), "False");
    Device->SetParamValue("PortNumber", Variant::Null());
    EXPECT_EQ(List.CellText(RowOf("PortNumber"), 1), WString()) << "a value without a text shows as nothing";
    Select("PortNumber");
    EXPECT_EQ(U8(View.Status), "Номер COM-порта");
}

TEST_F(SettingsListTest, AnEditedNumberIsStoredAsTheTypedText) {
    Select("PortNumber");
    List.lvSettingsKeyDown(KeyF2);
    ASSERT_TRUE(View.Visible);
    EXPECT_FALSE(View.Combo);
    EXPECT_EQ(U8(View.Edit), "1");
    View.Edit = W("3");
    List.edEditKeyDown(KeyEnter);
    const Variant value = Device->GetParam("PortNumber");
    EXPECT_EQ(value.Type(), VT_BSTR);
    EXPECT_EQ(U8(List.CellText(View.Row, 1)), "3");
    EXPECT_FALSE(View.Visible);
    EXPECT_EQ(View.Focused, 1);
}

TEST_F(SettingsListTest, ABooleanOpensTheDropDownOnItsValue) {
    Device->SetParamValue("EventLogEnabled", Variant(true));
    Select("EventLogEnabled");
    List.lvSettingsDblClick();
    EXPECT_TRUE(View.Combo);
    EXPECT_EQ(View.ComboValue, 1);
    EXPECT_EQ(List.Editor(), TfrmSettingsList::cbEdit);
    View.ComboValue = 0;
    List.edEditExit();
    EXPECT_EQ(Device->GetParam("EventLogEnabled").Type(), VT_BOOL);
    EXPECT_FALSE(Device->GetParamAsBoolean("EventLogEnabled"));
}

TEST_F(SettingsListTest, EscapeInTheEditorDiscardsButEscapeInTheListKeeps) {
    Select("DefCashierName");
    List.BeginEdit();
    View.Edit = W("Иванов");
    List.edEditKeyDown(KeyEscape);
    EXPECT_EQ(U8(Device->GetParam("DefCashierName").AsWide()), "Кассир");

    List.BeginEdit();
    View.Edit = W("Петров");
    List.lvSettingsKeyDown(KeyEscape);
    EXPECT_EQ(U8(Device->GetParam("DefCashierName").AsWide()), "Петров");
}

TEST_F(SettingsListTest, MovingToAnotherRowStoresTheEditIntoTheRowBeingEdited) {
    Select("DefCashierName");
    List.BeginEdit();
    View.Edit = W("Сидоров");
    // The list already points at the new row when it reports the change.
    Select("DefCashierPassword");
    EXPECT_EQ(U8(Device->GetParam("DefCashierName").AsWide()), "Сидоров");
    EXPECT_EQ(U8(Device->GetParam("DefCashierPassword").AsWide()), "QWTZ");
}

TEST_F(SettingsListTest, MenuDefaultResetsTheSelectedRowAndTheButtonResetsAll) {
    Device->SetParamValue("PortNumber", Variant(4));
    Device->SetParamValue("BaudRate", Variant(9600));
    Select("PortNumber");
    List.miDefaultClick();
    EXPECT_EQ(Device->GetParamAsInteger("PortNumber"), 1);
    EXPECT_EQ(Device->GetParamAsInteger("BaudRate"), 9600);
    List.btnDefaultClick();
    EXPECT_EQ(Device->GetParamAsInteger("BaudRate"), 19200);
    EXPECT_EQ(View.Redrawn.back(), -1);
}
