// TfrmTaxesParams: tax group names and rates.
#include "settings/ufmTaxesParams.h"

#include "fiscal/uDriverFR.h"
#include "framework/uEquipmentErrors.h"
#include "fiscal/uFiscalTexts.h"
#include "settings/uSettingsTexts.h"
#include "settings/uSettingsValues.h"

namespace {

WString DefaultTaxName(int group) {
    return Utf8ToWide(fiscaltexts::TaxNamePrefix) + AnsiToWide(std::to_string(group));
}

// The second value the printer takes with every group.
CY SecondValue() {
    CY value;
    value.int64 = 100; // 0.01
    return value;
}

} // namespace

TfrmTaxesParams::TfrmTaxesParams(TBaseDevice& Device, ISettingsUI& UI, IFiscalServices& Services, IGrid& sgTaxes,
                                 ICheckBox& chbPrintTaxes, IProgressBar& ProgressBar1)
    : TProgrammingDialog(Device, UI, Services, ProgressBar1), FGrid(sgTaxes), FPrintTaxes(chbPrintTaxes) {
    bool printTaxes = false;
    try {
        printTaxes = Device.GetParamAsBoolean("PrintTaxes");
    } catch (const EConversionError&) {
    }
    FPrintTaxes.SetChecked(printTaxes);
    TNameList entries;
    entries.Assign(WideToAnsi(ParamText(Device, "TaxesParams")));
    for (int g = 0; g < TaxGroups; ++g) {
        WString name = AnsiToWide(entries.Name(g));
        if (name.empty())
            name = DefaultTaxName(g);
        WString rate = AnsiToWide("0");
        const std::size_t separator = name.find(WCHAR('='));
        if (separator != WString::npos) {
            rate = name.substr(separator + 1, 5);
            name.resize(separator);
        }
        FGrid.SetCell(0, g + 1, AnsiToWide(std::to_string(g)));
        FGrid.SetCell(1, g + 1, name);
        FGrid.SetCell(RateColumn, g + 1, rate);
    }
}

bool TfrmTaxesParams::sgTaxesKeyPress(int Column, const WString& Cell, WCHAR& Key, WCHAR DecimalSeparator) {
    if (Column != RateColumn)
        return true;
    if ((Key >= WCHAR('0') && Key <= WCHAR('9')) || Key == 8 || Key == 13)
        return true;
    if (Key == WCHAR(',') || Key == WCHAR('.')) {
        Key = DecimalSeparator;
        return Cell.find(DecimalSeparator) == WString::npos;
    }
    return false;
}

CY TfrmTaxesParams::RateOf(const WString& Cell) {
    CY rate;
    rate.int64 = 0;
    try {
        rate = Variant(Cell).AsCurrency();
    } catch (const EConversionError&) {
    }
    return rate;
}

bool TfrmTaxesParams::CheckInput() {
    for (int g = 0; g < TaxGroups; ++g) {
        // A separator inside a name splits the stored entry: the name and rate read back wrong.
        const WString name = FGrid.Cell(1, g + 1);
        if (name.find(WCHAR(';')) != WString::npos || name.find(WCHAR('=')) != WString::npos) {
            FGrid.FocusCell(1, g + 1);
            FUI.ShowError(Utf8ToWide(settingstexts::TaxNameSeparators));
            return false;
        }
        // A rate that is no number (pasted "18%", a damaged stored entry) would be programmed into
        // the printer as 0 and tax every later receipt wrongly. An empty cell is 0.
        const WString cell = FGrid.Cell(RateColumn, g + 1);
        bool valid = cell.empty();
        if (!valid) {
            try {
                const CY rate = Variant(cell).AsCurrency();
                valid = rate.int64 >= 0 && rate.int64 <= RateMax;
            } catch (const EConversionError&) {
            }
        }
        if (!valid) {
            FGrid.FocusCell(RateColumn, g + 1);
            FUI.ShowError(Utf8ToWide(settingstexts::TaxRateInvalid));
            return false;
        }
    }
    return true;
}

bool TfrmTaxesParams::btnOkClick() {
    FInputRefused = !CheckInput();
    if (FInputRefused)
        return false;
    WString taxes;
    const bool printTaxes = FPrintTaxes.Checked();
    return Program(
        [&](WString& text) {
            LONG code = ErrNone;
            for (int g = 0; g < TaxGroups && code == ErrNone; ++g) {
                WString name = FGrid.Cell(1, g + 1);
                if (name.empty())
                    name = DefaultTaxName(g);
                const CY rate = RateOf(FGrid.Cell(RateColumn, g + 1));
                taxes += AnsiToWide(std::to_string(g) + "=") + name + AnsiToWide("=") +
                         Variant::FromCurrency(rate).AsWide() + AnsiToWide(";");
                code = FServices.ProgramTax(g, WideToAnsi(name), rate, SecondValue(), 0, text);
                FProgress.SetPosition(12 * (g + 1));
            }
            return code;
        },
        [&] {
            Store("TaxesParams", Variant(taxes));
            Store("PrintTaxes", Variant(printTaxes));
        });
}
