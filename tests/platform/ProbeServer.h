// The interface of the probe: a tiny in-process server the platform tests register and create
// through the same activation path a host uses for the driver.
#pragma once

#include "platform/Platform.h"

// {6F1C2A57-3B9E-4D0A-9C41-27E8B5D0F3A1}
inline const IID IID_IOrvelProbe = {0x6F1C2A57, 0x3B9E, 0x4D0A, {0x9C, 0x41, 0x27, 0xE8, 0xB5, 0xD0, 0xF3, 0xA1}};

struct IOrvelProbe : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Add(LONG a, LONG b, LONG* sum) = 0;
    // Objects of the probe alive in the process.
    virtual LONG STDMETHODCALLTYPE LiveObjects() = 0;

protected:
    ~IOrvelProbe() = default;
};
