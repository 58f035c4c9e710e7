// TfmHeaderFooter: the receipt's header and footer lines, programmed into the printer on OK and
// then stored. The memos keep to what the printer prints: 4 lines, 38 characters a header line
// and 40 a footer line.
#pragma once

#include "settings/uProgrammingFrame.h"

#include <vector>

struct THeaderFooterControls {
    ITextEdit& edHeader; // lines separated by CR LF
    ITextEdit& edFooter;
    IProgressBar& ProgressBar1;
};

// A memo as the key filter sees it: its lines and the caret.
struct TMemoState {
    std::vector<WString> Lines;
    int CaretLine = 0;
    int CaretColumn = 0;
};

class TfmHeaderFooter : public TProgrammingDialog {
public:
    static constexpr int HeaderLineMax = 38;
    static constexpr int FooterLineMax = 40;
    static constexpr int LinesMax = 4;

    TfmHeaderFooter(TBaseDevice& Device, ISettingsUI& UI, IFiscalServices& Services,
                    const THeaderFooterControls& Controls);

    bool btnOKClick();
    // The key filter of both memos: false swallows the key.
    static bool edHeaderKeyPress(bool Header, WCHAR Key, const TMemoState& Memo);

private:
    THeaderFooterControls FControls;
};
