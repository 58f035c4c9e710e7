// TDriverFR: text documents, and the header and tail lines stored in the printer.
#include "fiscal/uDriverFR.h"

#include "fiscal/uDocumentGuard.h"
#include "fiscal/uTextLayout.h"
#include "framework/uEquipmentErrors.h"

namespace {

constexpr LONG LibDocumentOpen = 13;
// Header first (else after the document), in the first document parameter word.
constexpr LONG HeaderFirstBit = 0x10;
constexpr char CutSequence[] = "\x1B\x69"; // ESC i
constexpr int StoredLines = 4;

// What follows every text document: room to tear the paper off below the last line.
void AppendFeed(std::string& document) {
    for (int i = 0; i < 5; ++i)
        document += " \r\n";
}

void FrameLines(std::vector<std::string>& lines, const char* blank) {
    while (lines.size() < StoredLines)
        lines.emplace_back(blank);
}

// Prints an open text document and closes it whatever happens; a close that fails leaves the
// document open, so it is cancelled rather than left for the next document to stumble on.
template <class F>
LONG PrintAndClose(const TAzimuthEntries& lib, const std::string& text, TDocumentGuard::TOnAbandoned onCancelled,
                   F&& afterPrinted) {
    TDocumentGuard cancel(lib.CancelReceipt, std::move(onCancelled));
    TDocumentGuard close(lib.CloseFDoc);
    const LONG code = lib.PrintOEMDoc(text.c_str(), static_cast<LONG>(text.size()));
    if (code == ErrNone)
        afterPrinted();
    const LONG closed = close.Run();
    if (closed == ErrNone)
        cancel.Release();
    return code != ErrNone ? code : closed;
}

} // namespace

LONG TDriverFR::DoPrintText(const std::string& TextToPrint, WString& Text) {
    const LONG ready = CheckReady();
    if (ready != ErrNone)
        return ready;
    LONG code = ErrNone;
    std::string buffer;
    // A line that starts with a control character (a form feed) ends a document; the line itself
    // is not printed.
    for (const std::string& line : SplitLines(TextToPrint)) {
        if (!line.empty() && static_cast<unsigned char>(line[0]) < 32) {
            code = PrintNonFiscalText(std::move(buffer), "", "", Text);
            if (code != ErrNone)
                return code;
            buffer.clear();
        } else {
            buffer += line;
            buffer += LineBreak;
        }
    }
    if (!buffer.empty())
        code = PrintNonFiscalText(std::move(buffer), "", "", Text);
    return code;
}

LONG TDriverFR::PrintNonFiscalText(std::string Document, const std::string& Footer, const std::string& Header,
                                   WString& Text) {
    // Laid out in the one buffer (a long receipt copy is not held twice), and before the document
    // is opened: a setting that fails to read leaves nothing open on the printer.
    const bool headerFirst = (GetParamAsInteger("ParamDoc1") & HeaderFirstBit) != 0;
    std::string& document = Document;
    document.reserve(Header.size() + document.size() + 2 * Footer.size() + 128);
    if (headerFirst)
        document.insert(0, Header);
    if (!Footer.empty()) {
        document += LineBreak;
        document.append(static_cast<std::size_t>(FRowWidth), '-');
        document += LineBreak;
        document += CenterLines(Footer, FRowWidth);
    }
    AppendFeed(document);

    const TAzimuthEntries lib = Lib();
    LONG code = lib.OpenFDoc();
    if (code == LibDocumentOpen) {
        // A document left open by an earlier run is dropped, not continued.
        NoteLeftOpenCancelled(lib.CancelReceipt());
        code = lib.OpenFDoc();
    }
    if (code != ErrNone)
        return TranslateError(code, Text);
    FDocumentLeftOpen = false;
    const auto cancelled = [this](LONG cancel) { NoteDocumentCancelled(false, cancel); };

    code = PrintAndClose(lib, document, cancelled, [&] { SendRaw(CutSequence); });
    if (code == ErrNone && !Header.empty() && !headerFirst) {
        code = lib.OpenFDoc();
        if (code == ErrNone)
            code = PrintAndClose(lib, Header, cancelled, [] {});
    }
    return TranslateError(code, Text);
}

std::string TDriverFR::BuildHeaderBlock() const {
    std::vector<std::string> lines = SplitLines(GetParamAsString("HeaderText"));
    FrameLines(lines, " ");
    const std::string stars(static_cast<std::size_t>(FRowWidth), '*');
    std::string block = stars + LineBreak;
    for (const std::string& line : lines) {
        block += JustifyPair("*" + line, "*", FRowWidth);
        block += LineBreak;
    }
    block += stars;
    block += LineBreak;
    return block;
}

LONG TDriverFR::ProgramHeader(const std::string& Text) {
    if (!FLibrary)
        return ErrLibraryNotFound;
    std::vector<std::string> lines = SplitLines(Text);
    // The printer keeps an empty header line as no line at all.
    for (std::string& line : lines)
        if (line.empty())
            line.assign(1, ' ');
    FrameLines(lines, " ");
    return Lib().SetHeader(lines[0].c_str(), lines[1].c_str(), lines[2].c_str(), lines[3].c_str());
}

LONG TDriverFR::ProgramTail(const std::string& Text) {
    if (!FLibrary)
        return ErrLibraryNotFound;
    std::vector<std::string> lines = SplitLines(Text);
    FrameLines(lines, " ");
    return Lib().SetTail(lines[0].c_str(), lines[1].c_str(), lines[2].c_str(), lines[3].c_str());
}
