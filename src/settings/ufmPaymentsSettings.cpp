// TfmPaymentsSettings: payment type names.
#include "settings/ufmPaymentsSettings.h"

#include "fiscal/uDriverFR.h"
#include "framework/uEquipmentErrors.h"
#include "settings/uSettingsTexts.h"
#include "settings/uSettingsValues.h"

WString TfmPaymentsSettings::DefaultName(int Number) {
    return Utf8ToWide(settingstexts::PaymentNamePrefix) + AnsiToWide(std::to_string(Number));
}

TfmPaymentsSettings::TfmPaymentsSettings(TBaseDevice& Device, ISettingsUI& UI, IFiscalServices& Services,
                                         IGrid& StringGrid1, IProgressBar& ProgressBar1)
    : TProgrammingDialog(Device, UI, Services, ProgressBar1), FGrid(StringGrid1) {
    TNameList names;
    names.Assign(WideToAnsi(ParamText(Device, "PaymentTypeNameConformity")));
    for (int n = 0; n < PaymentTypes; ++n) {
        const std::string name = names.Name(n);
        FGrid.SetCell(0, n + 1, AnsiToWide(std::to_string(n)));
        FGrid.SetCell(1, n + 1, name.empty() ? DefaultName(n) : LatinUpper(AnsiToWide(name)));
    }
}

bool TfmPaymentsSettings::btnOkClick() {
    // Refused before the printer is touched: the stored entries would read back shifted.
    for (int n = 0; n < PaymentTypes; ++n)
        if (FGrid.Cell(1, n + 1).find(WCHAR(';')) != WString::npos) {
            FInputRefused = true;
            FGrid.FocusCell(1, n + 1);
            FUI.ShowError(Utf8ToWide(settingstexts::PaymentNameSeparator));
            return false;
        }
    WString conformity;
    return Program(
        [&](WString& text) {
            LONG code = ErrNone;
            for (int n = 0; n < PaymentTypes && code == ErrNone; ++n) {
                WString name = LatinUpper(FGrid.Cell(1, n + 1));
                if (name.empty())
                    name = DefaultName(n);
                conformity += AnsiToWide(std::to_string(n) + "=") + name + AnsiToWide(";");
                code = FServices.ProgramPayment(n, WideToAnsi(name), text);
                FProgress.SetPosition(16 * (n + 1));
            }
            return code;
        },
        [&] { Store("PaymentTypeNameConformity", Variant(conformity)); });
}
