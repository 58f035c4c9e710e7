// The host's equipment manager as the driver sees it: an automation object answering
// GetAppProperty(DeviceID, Name, var Value) -> Boolean by name.
#pragma once

#include "platform/Platform.h"

#include <atomic>
#include <functional>
#include <map>
#include <string>

namespace host {

struct ManagerConfig {
    // Property name (compared without regard to case) -> value, in UTF-8.
    std::map<std::string, std::string> properties;
    // Failure rehearsal: answer False to every question, or have no GetAppProperty at all.
    bool answerFalse = false;
    bool withoutGetAppProperty = false;
};

// DevicesFolder = <workdir>/devices, ModelsFolder = <workdir>/models, Language = ru.
ManagerConfig DefaultManagerConfig(const std::string& workdir);

// The creator owns the object (on its stack or as a member) and must keep it alive while any driver
// holds it; the reference count only tells whether someone still does, Release never deletes.
class EquipmentManager final : public IDispatch {
public:
    static constexpr DISPID kGetAppProperty = 1;

    explicit EquipmentManager(ManagerConfig config);
    ~EquipmentManager() = default;
    EquipmentManager(const EquipmentManager&) = delete;
    EquipmentManager& operator=(const EquipmentManager&) = delete;

    // Every question the driver asks is reported here (device ID, name, answer, value).
    std::function<void(const std::string&, const std::string&, bool, const std::string&)> onQuestion;

    // References held by others than the creator; lets the tool notice a driver that keeps one
    // (positive) or releases one it never took (negative).
    LONG ExtraReferences() const { return static_cast<LONG>(refs_.load()) - 1; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;

private:
    HRESULT FindNames(LPOLESTR* names, UINT count, DISPID* ids);
    HRESULT InvokeUnguarded(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* excepInfo, UINT* argErr);

    ManagerConfig config_;
    std::atomic<ULONG> refs_{1};
};

} // namespace host
