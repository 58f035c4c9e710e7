// TfrmCommonSettings: pages, the additional functions, closing and context help.
#include "settings/ufmCommonSettings.h"

#include "framework/uEquipmentErrors.h"
#include "settings/uSettingsTexts.h"

using namespace settingstexts;

TfrmCommonSettings::TfrmCommonSettings(TBaseDevice& Device, ISettingsUI& UI, ICommonSettingsView& View,
                                       std::string HelpFolder)
    : FDevice(&Device), FUI(UI), FView(View), FHelpFolder(std::move(HelpFolder)) {}

TfrmCommonSettings::~TfrmCommonSettings() = default;

TShellInfo TfrmCommonSettings::InfoOf(const TDeviceInfoStruct& Info) {
    TShellInfo info;
    info.ModelName = Info.DriverName;
    info.Version = FormatVersion(Info);
    info.TypeName = GetDeviceTypeName(Info.DeviceKind);
    info.Developer = Info.MakerName;
    info.Description = Info.DriverDescription;
    info.Contact = FormatContactInfo(Info);
    info.WebAddress = Info.MakerWeb;
    return info;
}

void TfrmCommonSettings::Initialize(const std::vector<TPageFactory>& PageClasses) {
    FInfo = InfoOf(FDevice->DeviceInfo());
    AddPages(PageClasses);
    FHelpExists = HelpFileExists();
    FView.HelpItem().SetEnabled(FHelpExists);
    FView.HelpItem().SetVisible(FHelpExists);
}

void TfrmCommonSettings::AddPages(const std::vector<TPageFactory>& PageClasses) {
    for (const TPageFactory& make : PageClasses) {
        std::unique_ptr<TfrmBaseSettings> page = make(*this);
        page->FDevice = FDevice;
        page->InitPage();
        AddPage(std::move(page));
    }
    FView.PagesAdded();
    RefreshPages();
    // With the information page alone there is nothing to reset.
    if (FPages.empty()) {
        FView.ResetItem().SetVisible(false);
        FView.ResetItem().SetEnabled(false);
    }
}

void TfrmCommonSettings::AddPage(std::unique_ptr<TfrmBaseSettings> Page) {
    Page->FSettingsForm = this;
    FPages.push_back(std::move(Page));
    FView.AddTab(*FPages.back());
}

void TfrmCommonSettings::GrowForPage(LONG& ClientWidth, LONG& ClientHeight, LONG PageWidth, LONG PageHeight,
                                     const TShellMetrics& Metrics) {
    const LONG width = PageWidth + 2 * Metrics.ContentBorder + 2 * Metrics.SheetBorder;
    const LONG height = PageHeight + Metrics.HeaderHeight + Metrics.FooterHeight + Metrics.TabStripHeight +
                        2 * Metrics.SheetBorder;
    if (ClientWidth < width)
        ClientWidth = width;
    if (ClientHeight < height)
        ClientHeight = height;
}

void TfrmCommonSettings::RefreshPages() {
    for (auto& page : FPages)
        page->LoadSettings();
}

bool TfrmCommonSettings::SavePages() {
    for (auto& page : FPages) {
        bool ok = true;
        page->CheckSettings(ok);
        if (!ok)
            return false;
        page->SaveSettings();
    }
    return true;
}

bool TfrmCommonSettings::HelpFileExists() {
    FHelpFile = FHelpFolder + HelpFileName + HelpFileExtension;
    const DWORD attributes = GetFileAttributesA(FHelpFile.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

WString TfrmCommonSettings::GetHelpByID(LONG Context) const {
    switch (Context) {
    case HelpContextAdditional:
        return Utf8ToWide(HelpAdditional);
    case HelpContextOk:
        return Utf8ToWide(HelpOk);
    case HelpContextCancel:
        return Utf8ToWide(HelpCancel);
    case HelpContextPagesHint:
        return Utf8ToWide(HelpPages);
    default:
        return {};
    }
}

bool TfrmCommonSettings::CloseQuery(bool ModalOk) {
    if (!ModalOk) {
        // Values confirmed in the full settings list go back to what they were.
        FDevice->RestoreParams();
        if (FListSnapshotTaken)
            for (const TShortSettingStruct& saved : FListSnapshot)
                FDevice->SetParamValue(saved.Name, saved.Value);
        return true;
    }
    // A page that refuses has told the user why; the dialog stays.
    return SavePages();
}

void TfrmCommonSettings::miResetClick() {
    FDevice->ResetParamsToDefaults();
    RefreshPages();
}

void TfrmCommonSettings::KeepValue(std::string_view Name, const Variant& Value) {
    for (TShortSettingStruct& saved : FListSnapshot)
        if (SameName(saved.Name, Name))
            saved.Value = Value;
}

void TfrmCommonSettings::miSettingsListClick() {
    TShortSettingArray before;
    for (LONG i = 0; i < FDevice->GetParamCount(); ++i)
        before.push_back({FDevice->GetParamByIndex(i)->Name, FDevice->GetParamByIndex(i)->Value});
    FDevice->SaveParams();
    bool confirmed = false;
    try {
        confirmed = FView.ShowSettingsList();
    } catch (...) {
        FDevice->RestoreParams();
        throw;
    }
    if (!confirmed) {
        FDevice->RestoreParams();
        return;
    }
    // From here the shell's own snapshot is what Cancel puts back. The device's backup must not
    // outlive this dialog: a later settings dialog's Cancel would put back values from before
    // this one over what the host has set since.
    FDevice->DiscardSavedParams();
    if (!FListSnapshotTaken) {
        FListSnapshot = std::move(before);
        FListSnapshotTaken = true;
    }
    RefreshPages();
}

namespace {

// The device test runs on the values entered in the pages without keeping them.
class TDeviceTestGuard {
public:
    explicit TDeviceTestGuard(TBaseDevice& Device, ISettingsUI& UI) : FDevice(Device), FUI(UI) {
        FDevice.SaveParams();
        FUI.SetWaitCursor(true);
    }
    ~TDeviceTestGuard() {
        try {
            FDevice.DisableSilently();
        } catch (...) {
        }
        FDevice.RestoreParams();
        FUI.SetWaitCursor(false);
    }
    TDeviceTestGuard(const TDeviceTestGuard&) = delete;
    TDeviceTestGuard& operator=(const TDeviceTestGuard&) = delete;

private:
    TBaseDevice& FDevice;
    ISettingsUI& FUI;
};

} // namespace

void TfrmCommonSettings::miDeviceTestClick() {
    bool failed = false;
    WString message;
    try {
        TDeviceTestGuard guard(*FDevice, FUI);
        if (!SavePages()) {
            message = Utf8ToWide(SaveFailed);
            failed = true;
        } else {
            WString text;
            const LONG code = FDevice->EnableDevice(text);
            message = GetErrorDescription(code, text);
            failed = code != ErrNone;
        }
        if (!failed) {
            WString text;
            failed = !FDevice->DoDeviceTest(text);
            message = text;
        }
    } catch (...) {
        // Told like a failed test: the window around the dialog could only swallow it.
        failed = true;
        message = Utf8ToWide(DescribeCurrentException().Message);
    }
    if (failed)
        FUI.ShowError(message);
}

void TfrmCommonSettings::miHelpClick() {
    if (FHelpExists)
        FView.ShowHelpFile(FHelpFile);
}

bool TfrmCommonSettings::HelpHandler(WORD Command, ULONG_PTR Data) {
    if (Command == HelpCommandSetPopupPos) {
        FPopupPos.X = static_cast<SHORT>(LOWORD(Data));
        FPopupPos.Y = static_cast<SHORT>(HIWORD(Data));
        return true;
    }
    if (Command != HelpCommandContextPopup)
        return true;
    const LONG context = static_cast<LONG>(Data);
    THelpPopup popup;
    popup.At = FPopupPos;
    // Without the help file a control's own topic is out of reach: its hint stands in.
    if (context == HelpContextPages || (context > 0 && context <= 999 && !FHelpExists)) {
        WString hint;
        TPoint at;
        if (FView.ControlHint(hint, at)) {
            popup.Text = hint;
            popup.At = at;
        }
    } else if (context > 999) {
        popup.Text = GetHelpByID(context);
    } else if (context > 0) {
        popup.FromHelpFile = true;
        popup.Topic = context;
        popup.HelpFile = FHelpFile + HelpPopupTopics;
    }
    // An empty text makes no popup.
    if (popup.FromHelpFile || !popup.Text.empty())
        FView.ShowHelpPopup(popup);
    return true;
}
