// The creatable class of the server: the Orvel27 fiscal printer driver.
#include "fiscal/uDriverFR.h"
#include "server/DriverClass.h"
#include "settings/ShowDriverSettings.h"

ComPtr<TBaseObject> CreateDriverObject() {
    TDriverFR::SetSettingsDialog(&ShowDriverSettings);
    return CreateComObject<TDriverFR>();
}
