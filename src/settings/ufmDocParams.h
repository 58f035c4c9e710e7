// TfmDocParams: the printer's document print options, one control per bit of the two document
// parameter words. OK programs the words into the printer and, when that succeeded, stores them.
#pragma once

#include "settings/uProgrammingFrame.h"

#include <array>

struct TDocParamsControls {
    // One check box per bit that has one; null for the bits without (word 1: 8, 9 and 10; word 2:
    // 1, 13 and 14).
    std::array<ICheckBox*, 16> Word1{};
    std::array<ICheckBox*, 16> Word2{};
    // The radio buttons of bits 8 and 9 of word 1.
    ICheckBox* r1_80 = nullptr;
    ICheckBox* r1_81 = nullptr;
    ICheckBox* r1_82 = nullptr;
    ITextEdit* edTimeoutSlip = nullptr;
    IProgressBar* ProgressBar1 = nullptr;
};

class TfmDocParams : public TProgrammingDialog {
public:
    // Shows the current values of ParamDoc1, ParamDoc2 and LineSpacing.
    TfmDocParams(TBaseDevice& Device, ISettingsUI& UI, IFiscalServices& Services, const TDocParamsControls& Controls);

    // The words as the controls show them.
    LONG Word1() const;
    LONG Word2() const;

    bool btnOkClick();
    // The defaults in the controls; nothing is stored or sent until OK.
    void btnDefaultClick();

private:
    void Show(LONG Word1, LONG Word2, LONG LineSpacing);
    LONG LineSpacing() const;

    TDocParamsControls FControls;
};
