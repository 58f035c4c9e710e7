// The creatable class of the server: the Orvel27 fiscal printer driver.
#include "fiscal/uDriverFR.h"
#include "server/DriverClass.h"

ComPtr<TBaseObject> CreateDriverObject() {
    return CreateComObject<TDriverFR>();
}
