// TfmHeaderFooter: loading, the key filter and programming.
#include "settings/ufmHeaderFooter.h"

#include "framework/uEquipmentErrors.h"
#include "settings/uSettingsValues.h"

namespace {
constexpr WCHAR KeyBackspace = 8;
} // namespace

TfmHeaderFooter::TfmHeaderFooter(TBaseDevice& Device, ISettingsUI& UI, IFiscalServices& Services,
                                 const THeaderFooterControls& Controls)
    : TProgrammingDialog(Device, UI, Services, Controls.ProgressBar1), FControls(Controls) {
    FControls.edHeader.SetText(ParamText(Device, "HeaderText"));
    FControls.edFooter.SetText(ParamText(Device, "FooterText"));
}

bool TfmHeaderFooter::edHeaderKeyPress(bool Header, WCHAR Key, const TMemoState& Memo) {
    const std::size_t limit = Header ? HeaderLineMax : FooterLineMax;
    // Lines cannot be joined with Backspace.
    if (Key == KeyBackspace)
        return Memo.CaretColumn != 0;
    if (Key == 13 || Key == 10)
        return Memo.Lines.size() < static_cast<std::size_t>(LinesMax);
    if (Key >= 32) {
        const bool onALine = Memo.CaretLine >= 0 && static_cast<std::size_t>(Memo.CaretLine) < Memo.Lines.size();
        return !onALine || Memo.Lines[static_cast<std::size_t>(Memo.CaretLine)].size() < limit;
    }
    return true;
}

bool TfmHeaderFooter::btnOKClick() {
    const WString header = FControls.edHeader.Text();
    const WString footer = FControls.edFooter.Text();
    return Program(
        [&](WString& text) {
            LONG code = FServices.ProgramHeader(WideToAnsi(header), text);
            FProgress.SetPosition(50);
            if (code == ErrNone) {
                code = FServices.ProgramTail(WideToAnsi(footer), text);
                FProgress.SetPosition(100);
            }
            return code;
        },
        [&] {
            Store("HeaderText", Variant(header));
            Store("FooterText", Variant(footer));
        });
}
