// TDriverFR: the X and Z reports and the printer's document parameters.
#include "fiscal/uDriverFR.h"

#include "fiscal/uFiscalTexts.h"
#include "framework/uEquipmentErrors.h"

namespace {

// The first document parameter word the driver's documents are laid out for: bits 20, 80 and 100
// hex set, bit 200 hex clear.
constexpr LONG DocParamsRequired = 0x1A0;
constexpr LONG DocParamsForbidden = 0x200;

constexpr LONG DrawerPulseOn = 50;
constexpr LONG DrawerPulseOff = 255;

bool DocParamsSound(LONG word1) {
    return (word1 & DocParamsRequired) == DocParamsRequired && (word1 & DocParamsForbidden) == 0;
}

} // namespace

LONG TDriverFR::PrintXReportNow() {
    if (!FLibrary)
        return ErrLibraryNotFound;
    // A report takes the printer longer than any other command; the normal time-out comes back
    // whatever the report answered.
    SetTimeout(LongTimeout);
    const LONG code = Lib().XReport();
    SetTimeout(NormalTimeout);
    return code;
}

LONG TDriverFR::CloseShift() {
    if (!FLibrary)
        return ErrLibraryNotFound;
    const TAzimuthEntries lib = Lib();
    const LONG resource = lib.GetResource();
    if (resource == 0)
        FShiftCounter = lib.GetFldWord(7);
    else
        NoteLibraryEvent(TEventLevel::Warning, fiscaltexts::EventNoShiftCounter, resource);
    SetTimeout(LongTimeout);
    const LONG code = lib.ShiftClose();
    SetTimeout(NormalTimeout);
    if (code != 0)
        return code;
    // Some printers forget the document parameters with the shift; the next shift's documents
    // need them back. The Z report itself stands whatever this answers.
    if (lib.GetParamDoc() == 0) {
        const LONG word1 = lib.GetFldWord(5);
        const LONG word2 = lib.GetFldWord(6);
        if (!DocParamsSound(word1))
            WriteDocParams(word1, word2);
    }
    // A counter that could not be read stays unknown rather than turning into a plausible number.
    if (FShiftCounter != -1)
        ++FShiftCounter;
    return code;
}

LONG TDriverFR::WriteDocParams(LONG Word1, LONG Word2) {
    if (!FLibrary)
        return ErrLibraryNotFound;
    const LONG word = (Word1 | DocParamsRequired) & ~DocParamsForbidden;
    const TAzimuthEntries lib = Lib();
    const LONG code = lib.SetParamDoc(static_cast<WORD>(word), static_cast<WORD>(Word2), 0);
    // The drawer's word follows the options the printer took: after a refusal it would hold
    // options the printer does not, and a printer that did not answer is not asked again.
    if (code == 0)
        lib.SetDrawerParam(DrawerPulseOn, DrawerPulseOff, word);
    return code;
}

LONG TDriverFR::DoPrintXReport(TFiscalDocResult& Result, WString& Text) {
    return PrintDocument(CheckReady(), Result, Text, [this] { return PrintXReportNow(); });
}

LONG TDriverFR::DoPrintZReport(TFiscalDocResult& Result, WString& Text) {
    return PrintDocument(CheckReady(), Result, Text, [this] { return CloseShift(); });
}
