// TfrmCommonSettings: the settings dialog the host opens with ShowSettingsDlg. It holds the
// device's pages in tabs before an information page, coordinates them (load, check, save),
// offers the additional functions (reset to defaults, device test, the full settings list, help)
// and answers context help. This is the dialog's logic; its window is a view behind
// ICommonSettingsView.
#pragma once

#include "settings/uBaseSettingsDeviceFrm.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Makes one page for the shell (the page's class, in the form the views can build).
using TPageFactory = std::function<std::unique_ptr<TfrmBaseSettings>(TfrmCommonSettings& Shell)>;

// What the shell shows about the driver, from the device information record.
struct TShellInfo {
    WString ModelName;   // lbModelName, lbModelInfo
    WString Version;     // lbDiverVersion, lbVerInfo
    WString TypeName;    // lbTypeInfo
    WString Developer;   // lbDeveloperInfo
    WString Description; // lbDescriptionInfo
    WString Contact;     // lbContactinfo
    WString WebAddress;  // opened by a click on the logo
};

// Sizes the shell grows by to fit a page.
struct TShellMetrics {
    LONG ContentBorder = 0; // of pnContent
    LONG SheetBorder = 0;   // of a tab sheet
    LONG HeaderHeight = 0;  // pnHeader
    LONG FooterHeight = 0;  // pnFooter
    LONG TabStripHeight = 0;
};

// A point on the screen.
struct TPoint {
    LONG X = 0;
    LONG Y = 0;
};

// A context help popup: plain text, or topic Topic of the help file's popup table.
struct THelpPopup {
    WString Text;
    bool FromHelpFile = false;
    LONG Topic = 0;
    std::string HelpFile; // ANSI: the help file followed by the popup table's address
    TPoint At;
};

// Help commands the window framework sends to HelpHandler.
enum : WORD { HelpCommandContextPopup = 8, HelpCommandSetPopupPos = 13 };
// Help contexts of the shell's controls.
enum : LONG {
    HelpContextAdditional = 1000,
    HelpContextOk = 1001,
    HelpContextCancel = 1002,
    HelpContextPagesHint = 1003,
    HelpContextPages = 10000,
};

class ICommonSettingsView {
public:
    virtual ~ICommonSettingsView() = default;
    // A tab sheet captioned as the page, holding the page's window; the shell grows to fit it.
    virtual void AddTab(TfrmBaseSettings& Page) = 0;
    // All pages are in: fill their tabs, put the information tab last, activate the first tab.
    virtual void PagesAdded() = 0;
    virtual IControlState& ResetItem() = 0; // miReset
    virtual IControlState& HelpItem() = 0;  // miHelp
    // The full settings list for the device, modal; true when closed with OK.
    virtual bool ShowSettingsList() = 0;
    // The hint of the control the user asks about (the focused one when F1 was pressed, else the
    // one under the mouse, disabled ones included) and its top-left corner on the screen; false
    // when there is none.
    virtual bool ControlHint(WString& Hint, TPoint& At) = 0;
    virtual void ShowHelpPopup(const THelpPopup& Popup) = 0;
    // The help file at its default topic.
    virtual void ShowHelpFile(const std::string& HelpFile) = 0;
};

class TfrmCommonSettings {
public:
    // HelpFolder: the folder of the driver library, with a trailing delimiter (ANSI).
    TfrmCommonSettings(TBaseDevice& Device, ISettingsUI& UI, ICommonSettingsView& View, std::string HelpFolder);
    ~TfrmCommonSettings();
    TfrmCommonSettings(const TfrmCommonSettings&) = delete;
    TfrmCommonSettings& operator=(const TfrmCommonSettings&) = delete;

    // Builds the dialog's content: pages, information, menu. Run once, after construction.
    void Initialize(const std::vector<TPageFactory>& PageClasses);

    void AddPages(const std::vector<TPageFactory>& PageClasses);
    void AddPage(std::unique_ptr<TfrmBaseSettings> Page);
    void RefreshPages();
    // Checks and saves page by page; false at the first page that refuses.
    bool SavePages();
    bool HelpFileExists();
    WString GetHelpByID(LONG Context) const;

    // The dialog is closing with OK (true) or not: true lets it close.
    bool CloseQuery(bool ModalOk);
    // A value that has to survive Cancel (the printer already works with it): it replaces the
    // value Cancel would put back.
    void KeepValue(std::string_view Name, const Variant& Value);

    // The additional functions.
    void miResetClick();
    void miDeviceTestClick();
    void miSettingsListClick();
    void miHelpClick();
    // The help command of the window framework; always handled.
    bool HelpHandler(WORD Command, ULONG_PTR Data);

    // Client size the shell needs for a page, never smaller than it is.
    static void GrowForPage(LONG& ClientWidth, LONG& ClientHeight, LONG PageWidth, LONG PageHeight,
                            const TShellMetrics& Metrics);
    static TShellInfo InfoOf(const TDeviceInfoStruct& Info);

    TBaseDevice& Device() const noexcept { return *FDevice; }
    ISettingsUI& UI() const noexcept { return FUI; }
    const std::vector<std::unique_ptr<TfrmBaseSettings>>& Pages() const noexcept { return FPages; }
    const TShellInfo& Info() const noexcept { return FInfo; }
    bool HelpExists() const noexcept { return FHelpExists; }
    const std::string& HelpFile() const noexcept { return FHelpFile; }

private:
    std::vector<std::unique_ptr<TfrmBaseSettings>> FPages;
    TBaseDevice* FDevice;
    bool FHelpExists = false;
    std::string FHelpFile; // ANSI

    ISettingsUI& FUI;
    ICommonSettingsView& FView;
    std::string FHelpFolder;
    TShellInfo FInfo;
    TPoint FPopupPos;
    // The table as it was before the full settings list first changed it. The device's own
    // backup serves one undo at a time, and a service action or device test since then has
    // replaced it: Cancel puts these values back.
    TShortSettingArray FListSnapshot;
    bool FListSnapshotTaken = false;
};
