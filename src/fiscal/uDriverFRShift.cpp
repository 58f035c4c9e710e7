// TDriverFR: opening the shift and reading the printer's state.
#include "fiscal/uDriverFR.h"

#include "fiscal/uFiscalTexts.h"
#include "framework/uEquipmentErrors.h"
#include "framework/uLocalClock.h"

namespace {

constexpr LONG LibSessionLost = 7; // the printer wants a new session first
constexpr LONG LibAlreadyDone = 21;

} // namespace

void TDriverFR::ReadDocNumbers(TFiscalDocResult& Result) {
    Result.Number2 = -1;
    Result.Number3 = -1;
    const TAzimuthEntries lib = Lib();
    // Numbers the printer cannot tell stay unknown; the document itself has been made.
    const LONG numbers = lib.GetNumbers();
    if (numbers == 0) {
        Result.Number3 = lib.GetFldWord(5);
        Result.Number2 = lib.GetFldWord(6);
    } else {
        NoteLibraryEvent(TEventLevel::Warning, fiscaltexts::EventNoDocNumbers, numbers);
    }
    Result.Number1 = FShiftCounter == -1 ? -1 : FShiftCounter + 1;
}

LONG TDriverFR::PrintDocument(LONG Ready, TFiscalDocResult& Result, WString& Text,
                              const std::function<LONG()>& Print) {
    if (Ready != ErrNone)
        return Ready;
    Result.DocDateTime = LocalNowAsDate();
    const LONG code = TranslateError(Print(), Text);
    if (code == ErrNone)
        ReadDocNumbers(Result);
    return code;
}

LONG TDriverFR::DoOpenDay(const std::string&, const std::string&, TFiscalDocResult& Result, WString& Text) {
    return PrintDocument(CheckReady(), Result, Text, [this] {
        const TAzimuthEntries lib = Lib();
        LONG code = lib.ShiftOpen("");
        if (code == LibSessionLost) {
            lib.StartSeans();
            code = lib.ShiftOpen("");
        }
        return code == LibAlreadyDone ? ErrNone : code;
    });
}

LONG TDriverFR::DoGetFPStateInfo(TFPStateInfo& States, WString& Text) {
    const LONG ready = CheckReady();
    if (ready != ErrNone)
        return ready;
    LONG state = 0, other = 0;
    const LONG code = TranslateError(Lib().GetShiftState(&state, &other), Text);
    if (code != ErrNone)
        return code;
    States.fill(-1);
    // Hosts read State5 as 0 open, 1 closed, 2 open for 24 hours or more; the printer counts
    // 0 closed, 1 too long, 2 open.
    switch (state) {
    case 0:
        States[5] = 1;
        break;
    case 1:
        States[5] = 2;
        break;
    case 2:
        States[5] = 0;
        break;
    default:
        States[5] = -1;
    }
    return ErrNone;
}
