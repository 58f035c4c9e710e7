// TfrmTaxesParams: the printer's tax groups 0 to 7 with their names and rates, programmed into
// the printer on OK and then stored, with the switch that prints taxes on receipts.
#pragma once

#include "settings/uProgrammingFrame.h"

class TfrmTaxesParams : public TProgrammingDialog {
public:
    static constexpr int TaxGroups = 8;
    static constexpr int RateColumn = 2;

    TfrmTaxesParams(TBaseDevice& Device, ISettingsUI& UI, IFiscalServices& Services, IGrid& sgTaxes,
                    ICheckBox& chbPrintTaxes, IProgressBar& ProgressBar1);

    bool btnOkClick();
    // The key filter of the grid. Key may become the system's decimal separator; false swallows
    // it.
    static bool sgTaxesKeyPress(int Column, const WString& Cell, WCHAR& Key, WCHAR DecimalSeparator);
    // A rate cell as an amount, read with the system's decimal separator; 0 when it is not one.
    static CY RateOf(const WString& Cell);

private:
    // 100 % as a currency value.
    static constexpr LONGLONG RateMax = 100 * 10000;
    // Names free of the stored list's separators, rates empty or numbers from 0 to 100; false
    // after telling the user.
    bool CheckInput();

    IGrid& FGrid;
    ICheckBox& FPrintTaxes;
};
