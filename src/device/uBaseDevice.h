// TBaseDevice: the device base of every driver object. It gives the host the ten base commands
// with which its equipment manager brings a device up and down, keeps the device state and the
// link back to the host's equipment manager, and offers the overridable operations through which
// a concrete driver does the real work. The settings dialogs use its services: enabling and
// disabling around a test, snapshots of parameter values, and the modal guard.
#pragma once

#include "framework/uBaseObject.h"
#include "framework/uDeviceInfo.h"

#include <string>
#include <string_view>
#include <vector>

// One entry of a parameter snapshot.
struct TShortSettingStruct {
    std::string Name; // ANSI, at most 255 characters
    Variant Value;
};
using TShortSettingArray = std::vector<TShortSettingStruct>;

enum TDeviceState : BYTE { dsCreated = 0, dsInitialized = 1, dsEnabled = 2 };

class TBaseDevice : public TBaseObject {
public:
    // Runs the whole construction chain; see the definition for why it is not the constructor.
    void Initialize() final;

    BYTE State() const noexcept { return FState; }
    bool IsEnabled() const noexcept { return FState == dsEnabled; }
    // Enables or disables without reporting why it failed; nothing when already so.
    void SetEnabled(bool On);

    // Keeps the host's foreground window disabled while a dialog of ours is up. Calls nest.
    void BeginModal();
    void EndModal();

    // Snapshots of parameter values for dialogs that may be cancelled.
    void SaveParams();
    void SaveParamsByName(const std::vector<std::string>& Names); // ANSI names
    void RestoreParams();
    // Ends the snapshot without putting it back: its dialog has ended or keeps its own.
    void DiscardSavedParams() noexcept;
    LONG GetParamCount() const noexcept { return static_cast<LONG>(FParams.size()); }
    // Null when i is outside the table.
    TSettingStruct* GetParamByIndex(LONG i) noexcept;

    // What the host's equipment manager says (ANSI texts). GetHostProperty throws when there is
    // no equipment manager, or when asking it fails.
    std::string GetHostProperty(std::string_view Name);
    std::string GetDeviceFolder();
    std::string GetModelFolder();
    std::string GetLanguage();

    const TDeviceInfoStruct& DeviceInfo() const noexcept { return FDeviceInfo; }
    const std::string& DeviceID() const noexcept { return FDeviceID; }
    const std::string& DeviceFolder() const noexcept { return FDeviceFolder; }
    const std::string& ModelFolder() const noexcept { return FModelFolder; }
    const std::string& Language() const noexcept { return FLanguage; }

    // Overridable operations, declared in the order of their slots; texts arrive empty and may
    // carry a description of a failure, codes are the standard error codes.
protected:
    // Behind the host's Enable and Disable; a subclass may replace either handler whole.
    virtual LONG EnableCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
public:
    virtual LONG DisableDevice(WString& Text);
protected:
    virtual LONG DisableCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    // Subclasses run the inherited registration first, so the base's entries come first.
    virtual void RegisterParams();
    virtual void RegisterMethods();
    // After SetSettings has stored the host's values.
    virtual void SettingsApplied() {}
    // After the defaults of FDeviceInfo are set.
    virtual void FillDeviceInfo() {}
    virtual LONG DoEnable(WString& Text);
    virtual LONG DoDisable(WString& Text);
    virtual LONG DoCheckHealth(WString& Text);
    // True when the user closed the dialog with OK.
    virtual bool DoShowSettingsDlg();
    virtual void AfterInitialize() {}
    virtual void BeforeDestroy() {}
    virtual LONG DoInit(WString& Text);
    virtual LONG DoOpen(WString& Text);
    virtual void AfterClose() {}
    virtual void DoClose() {}
    // For devices on a serial port; nothing in the base calls them.
    virtual void RegisterPortParams();
    virtual void RegisterLineParams();
public:
    // The settings dialog's device test, run between EnableDevice and DisableSilently.
    virtual bool DoDeviceTest(WString& Text);
    virtual LONG EnableDevice(WString& Text);
    virtual LONG EnableSilently();
    virtual LONG DisableSilently();

protected:
    TBaseDevice() = default;
    ~TBaseDevice() override = default;

    void DoTraceStarted() override;
    void BeforeDestruction() noexcept override;
    // The event log follows EventLogEnabled as it stands, into the device's folder.
    bool DoEventLogEnabled() const override;
    void DoEventLogPlace(std::string& Folder, std::string& DeviceID) const override;
    // A parameter whose value the debug log's header hides, as the dialog does.
    virtual bool DoParamIsSecret(std::string_view Name) const;

    BYTE FState = dsCreated;
    std::vector<HWND> FWindowStack; // last on top
    TShortSettingArray FParamBackup;
    Variant FEquipmentManager; // the host's IDispatch, from Init to Close
    std::string FDeviceID;     // ANSI, at most 255 characters
    TDeviceInfoStruct FDeviceInfo;
    std::string FDeviceFolder; // ANSI, with a trailing delimiter, or empty
    std::string FModelFolder;  // ANSI, with a trailing delimiter, or empty
    std::string FLanguage;     // ANSI

private:
    void InitDeviceInfo();

    void InitMethod(TMethodParams& Params, Variant& Result);
    void OpenMethod(TMethodParams& Params, Variant& Result);
    void CloseMethod(TMethodParams& Params, Variant& Result);
    LONG ShowSettingsDlgCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG GetDeviceInfoCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG GetSettingsCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG SetSettingsCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG CheckHealthCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);

    bool FConstructed = false;
};
