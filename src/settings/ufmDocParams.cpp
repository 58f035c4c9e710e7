// TfmDocParams: the document parameter words and their bits.
#include "settings/ufmDocParams.h"

#include "framework/uEquipmentErrors.h"
#include "settings/uSettingsValues.h"

#include <string>

namespace {

LONG BitsOf(const std::array<ICheckBox*, 16>& boxes) {
    LONG word = 0;
    for (int bit = 0; bit < 16; ++bit)
        if (boxes[bit] && boxes[bit]->Checked())
            word |= 1L << bit;
    return word;
}

void ShowBits(const std::array<ICheckBox*, 16>& boxes, LONG word) {
    for (int bit = 0; bit < 16; ++bit)
        if (boxes[bit])
            boxes[bit]->SetChecked((word >> bit) & 1);
}

LONG IntegerOf(const TBaseDevice& device, std::string_view name, bool useDefault) {
    LONG value = 0;
    return ParamInteger(device, name, value, useDefault) ? value : 0;
}

} // namespace

TfmDocParams::TfmDocParams(TBaseDevice& Device, ISettingsUI& UI, IFiscalServices& Services,
                           const TDocParamsControls& Controls)
    : TProgrammingDialog(Device, UI, Services, *Controls.ProgressBar1), FControls(Controls) {
    Show(IntegerOf(Device, "ParamDoc1", false), IntegerOf(Device, "ParamDoc2", false),
         IntegerOf(Device, "LineSpacing", false));
}

void TfmDocParams::Show(LONG Word1, LONG Word2, LONG LineSpacing) {
    ShowBits(FControls.Word1, Word1);
    ShowBits(FControls.Word2, Word2);
    // Bit 9 wins over bit 8 when both are set.
    const bool bit8 = (Word1 >> 8) & 1;
    const bool bit9 = (Word1 >> 9) & 1;
    FControls.r1_80->SetChecked(!bit8 && !bit9);
    FControls.r1_81->SetChecked(bit8 && !bit9);
    FControls.r1_82->SetChecked(bit9);
    FControls.edTimeoutSlip->SetText(AnsiToWide(std::to_string(LineSpacing)));
}

LONG TfmDocParams::Word1() const {
    // Bit 10 has no control and is never sent.
    LONG word = BitsOf(FControls.Word1) & ~0x0700L;
    if (FControls.r1_80->Checked())
        return word;
    return word | (FControls.r1_81->Checked() ? 256 : 512);
}

LONG TfmDocParams::Word2() const {
    return BitsOf(FControls.Word2) & ~0x6002L;
}

LONG TfmDocParams::LineSpacing() const {
    return TextToInteger(FControls.edTimeoutSlip->Text());
}

void TfmDocParams::btnDefaultClick() {
    Show(IntegerOf(FDevice, "ParamDoc1", true), IntegerOf(FDevice, "ParamDoc2", true),
         IntegerOf(FDevice, "LineSpacing", true));
}

bool TfmDocParams::btnOkClick() {
    const LONG word1 = Word1();
    const LONG word2 = Word2();
    return Program(
        [&](WString& text) {
            FProgress.SetPosition(70);
            // The line spacing stays with the driver; the printer is not told.
            const LONG code = FServices.WriteDocParams(word1, word2 & 0xFFFF, text);
            if (code == ErrNone)
                FProgress.SetPosition(100);
            return code;
        },
        [&] {
            Store("ParamDoc1", Variant(word1));
            Store("ParamDoc2", Variant(word2));
            Store("LineSpacing", Variant(LineSpacing()));
        });
}
