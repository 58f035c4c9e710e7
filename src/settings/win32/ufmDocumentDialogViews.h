// The windows of the four document parameter dialogs. Each is created with the driver and no
// owner, shown modally and destroyed; OK programs the printer and closes the dialog.
#pragma once

#include "device/uBaseDevice.h"
#include "settings/uFiscalServices.h"
#include "settings/win32/Win32SettingsUI.h"

class TfrmCommonSettings;

// Shell: the settings dialog the page that opens them is in (may be null), whose Cancel keeps
// what these dialogs programmed.
void ShowDocParamsDialog(TBaseDevice& Device, TWin32SettingsUI& UI, IFiscalServices& Services,
                         TfrmCommonSettings* Shell);
void ShowHeaderFooterDialog(TBaseDevice& Device, TWin32SettingsUI& UI, IFiscalServices& Services,
                            TfrmCommonSettings* Shell);
void ShowPaymentsDialog(TBaseDevice& Device, TWin32SettingsUI& UI, IFiscalServices& Services,
                        TfrmCommonSettings* Shell);
void ShowTaxesDialog(TBaseDevice& Device, TWin32SettingsUI& UI, IFiscalServices& Services,
                     TfrmCommonSettings* Shell);
