// TfmPaymentsSettings: the names of payment types 0 to 5, programmed into the printer on OK and
// then stored as the name conformity of payment types.
#pragma once

#include "settings/uProgrammingFrame.h"

class TfmPaymentsSettings : public TProgrammingDialog {
public:
    static constexpr int PaymentTypes = 6;

    TfmPaymentsSettings(TBaseDevice& Device, ISettingsUI& UI, IFiscalServices& Services, IGrid& StringGrid1,
                        IProgressBar& ProgressBar1);

    bool btnOkClick();
    // The name row n + 1 shows when the parameter has none.
    static WString DefaultName(int Number);

private:
    IGrid& FGrid;
};
