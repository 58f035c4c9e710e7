// The entry points of the printer library: undecorated C names, stdcall on Windows, CP1251
// strings, 32-bit integers, 16-bit words and bytes exactly as the driver declares them (an
// argument is never read wider than the caller passes it). Each call takes the library's lock,
// runs, and is written to the port's journal; no exception leaves this file.
#include "emulator/Codes.h"
#include "emulator/Encoding.h"
#include "emulator/Library.h"
#include "fiscal/uAzimuthEntries.h"

#include "platform/Platform.h"
#include "platform/PlatformExt.h"

#include <algorithm>
#include <concepts>
#include <cstring>
#include <initializer_list>
#include <mutex>

using namespace azimuth;

namespace {

// A driver loads and frees this library at every connection: what the C++ runtime keeps past
// the unload goes with it.
const platform::TModuleRuntimeRelease RuntimeRelease;

// An argument as the journal shows it; `missing` marks a null pointer where the call needs one.
struct Arg {
    template <std::integral T>
    Arg(T v) : value(static_cast<std::int64_t>(v)) {}
    Arg(JournalValue v, bool missing) : value(std::move(v)), missing(missing) {}

    JournalValue value;
    bool missing = false;
};

Arg S(LPCSTR text) { return text ? Arg(std::string(text), false) : Arg(nullptr, true); }
// Exactly `length` bytes, as they go down the line: a NUL among them is journaled too.
Arg Bytes(LPCSTR bytes, LONG length) {
    if (!bytes || length < 0)
        return Arg(nullptr, true);
    return Arg(std::string(bytes, static_cast<std::size_t>(length)), false);
}
Arg Out(const void* pointer) { return Arg(nullptr, pointer == nullptr); }

std::string Str(LPCSTR text) { return text ? std::string(text) : std::string(); }

std::mutex& LibraryLock() {
    static std::mutex lock;
    return lock;
}

Library& Lib() {
    static Library library;
    return library;
}

template <std::integral T>
JournalValue Shown(T v) {
    return static_cast<std::int64_t>(v);
}
JournalValue Shown(double v) { return v; }
JournalValue Shown(LPSTR) { return nullptr; }

// Runs a call under the lock and journals it with its result. `refused` answers a call with a
// null pointer where it needs one, `failed` one that threw.
template <class Result, class Body>
Result Run(const char* fn, std::initializer_list<Arg> args, Result refused, Result failed, Body&& body) {
    try {
        std::lock_guard<std::mutex> lock(LibraryLock());
        Library& lib = Lib();
        std::vector<JournalValue> values;
        bool missing = false;
        for (const auto& arg : args) {
            values.push_back(arg.value);
            missing = missing || arg.missing;
        }
        Result result = refused;
        JournalValue shown = Shown(refused);
        try {
            if (missing)
                lib.Finish(kBadArgument);
            else
                result = body(lib, shown);
        } catch (...) {
            lib.Finish(kInternal);
            result = failed;
            shown = Shown(failed);
        }
        lib.Record(fn, values, shown);
        return result;
    } catch (...) {
        return failed;
    }
}

template <class Body>
LONG Call(const char* fn, std::initializer_list<Arg> args, Body&& body) {
    return Run<LONG>(fn, args, kBadArgument, kInternal, [&](Library& lib, JournalValue& shown) {
        Code code = body(lib);
        shown = static_cast<std::int64_t>(code);
        return static_cast<LONG>(code);
    });
}

// A command for the printer; `prints` marks commands that need paper.
template <class Body>
LONG Cmd(const char* fn, std::initializer_list<Arg> args, bool prints, Body&& body) {
    return Call(fn, args, [&](Library& lib) { return lib.Command(fn, prints, body); });
}

// A report, which takes the printer long enough for the library's time-out to matter.
template <class Body>
LONG Report(const char* fn, Body&& body) {
    return Call(fn, {}, [&](Library& lib) { return lib.Report(fn, body); });
}

template <class Body>
LONG Ask(const char* fn, std::initializer_list<Arg> args, bool prints, Body&& body) {
    return Call(fn, args, [&](Library& lib) { return lib.Query(fn, prints, body); });
}

LONG Unsupported(const char* fn, std::initializer_list<Arg> args) {
    return Call(fn, args, [](Library& lib) { return lib.Finish(kNotSupported); });
}

// Copies an answer text into the caller's buffer: at most capacity - 1 bytes, always terminated.
LPSTR Give(LPSTR buffer, const std::string& text, std::size_t capacity, JournalValue& shown) {
    std::size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    shown = std::string(text, 0, n);
    return buffer;
}

constexpr bool kPrints = true;
constexpr bool kSilent = false;
constexpr std::size_t kErrorBuffer = 32000; // what the driver passes to GetErrorMessageNo
constexpr std::size_t kMessageBuffer = 256;

std::array<std::string, 4> Lines4(LPCSTR a, LPCSTR b, LPCSTR c, LPCSTR d) { return {Str(a), Str(b), Str(c), Str(d)}; }

LONG Raw(const char* fn, LPCSTR bytes, LONG length) {
    Arg data = Bytes(bytes, length);
    return Run<LONG>(fn, {data, length}, 0, 0, [&](Library& lib, JournalValue& shown) {
        Code code = lib.Command(fn, kSilent, [&](Printer& p) {
            p.WriteRaw(std::string_view(bytes, static_cast<std::size_t>(length)));
            return kOk;
        });
        LONG written = code == kOk ? length : 0;
        shown = static_cast<std::int64_t>(written);
        return written;
    });
}

} // namespace

#define AZ extern "C" AZIMUTH_API

// The driver's own declarations of what it calls: a definition below with another signature, or
// another calling convention on i686, does not compile.
#define AZIMUTH_DECLARE(name, result, args) AZ result WINAPI name args;
AZIMUTH_CALLED_ENTRIES(AZIMUTH_DECLARE)
#undef AZIMUTH_DECLARE

// --- connection --------------------------------------------------------------------------------

AZ LONG WINAPI OpenDLLPlus(LPCSTR cashier, LPCSTR password, LPCSTR port, LPCSTR baud, LONG flags) {
    return Call("OpenDLLPlus", {S(cashier), S(password), S(port), S(baud), flags}, [&](Library& lib) {
        return lib.Open("OpenDLLPlus", Str(cashier), Str(password), Str(port), Str(baud), true);
    });
}

AZ LONG WINAPI OpenDLL(LPCSTR port, LPCSTR baud) {
    return Call("OpenDLL", {S(port), S(baud)}, [&](Library& lib) {
        return lib.Open("OpenDLL", Ansi("Кассир"), "", Str(port), Str(baud), false);
    });
}

AZ LONG WINAPI CloseDLL() {
    return Call("CloseDLL", {}, [](Library& lib) { return lib.Close(); });
}

AZ LONG WINAPI StartSeans() {
    return Cmd("StartSeans", {}, kSilent, [](Printer& p) { return p.StartSession(); });
}

AZ LONG WINAPI ChangeBaudrate(LPCSTR rate) {
    return Cmd("ChangeBaudrate", {S(rate)}, kSilent, [&](Printer& p) { return p.ChangeBaudrate(Str(rate)); });
}

AZ LONG WINAPI SetCommTimeoutMs(LONG readMs, LONG writeMs) {
    return Call("SetCommTimeoutMs", {readMs, writeMs}, [&](Library& lib) { return lib.SetTimeouts(readMs, writeMs); });
}

AZ LONG WINAPI WriteComm(LPCSTR bytes, LONG length) { return Raw("WriteComm", bytes, length); }
AZ LONG WINAPI DllComWrite(LPCSTR bytes, LONG length) { return Raw("DllComWrite", bytes, length); }

// --- errors and answers ------------------------------------------------------------------------

AZ LONG WINAPI GetLastDllError() {
    return Run<LONG>("GetLastDllError", {}, kBadArgument, kInternal, [](Library& lib, JournalValue& shown) {
        shown = static_cast<std::int64_t>(lib.LastCode());
        return static_cast<LONG>(lib.LastCode());
    });
}

AZ LPSTR WINAPI GetErrorMessageNo(LPSTR buffer, LONG code) {
    return Run<LPSTR>("GetErrorMessageNo", {Out(buffer), code}, nullptr, nullptr, [&](Library&, JournalValue& shown) {
        return Give(buffer, Ansi(CodeText(code)), kErrorBuffer, shown);
    });
}

AZ LPSTR WINAPI GetErrorMessage(LPSTR buffer) {
    return Run<LPSTR>("GetErrorMessage", {Out(buffer)}, nullptr, nullptr, [&](Library& lib, JournalValue& shown) {
        return Give(buffer, Ansi(CodeText(lib.LastCode())), kMessageBuffer, shown);
    });
}

AZ WORD WINAPI GetFldWord(BYTE field) {
    return Run<WORD>("GetFldWord", {field}, 0, 0, [&](Library& lib, JournalValue& shown) {
        WORD v = lib.LastAnswer().Word(field);
        shown = static_cast<std::int64_t>(v);
        return v;
    });
}

AZ BYTE WINAPI GetFldByte(BYTE field) {
    return Run<BYTE>("GetFldByte", {field}, 0, 0, [&](Library& lib, JournalValue& shown) {
        BYTE v = lib.LastAnswer().Byte(field);
        shown = static_cast<std::int64_t>(v);
        return v;
    });
}

AZ LONG WINAPI GetFldInt(BYTE field) {
    return Run<LONG>("GetFldInt", {field}, 0, 0, [&](Library& lib, JournalValue& shown) {
        LONG v = lib.LastAnswer().Int(field);
        shown = static_cast<std::int64_t>(v);
        return v;
    });
}

AZ double WINAPI GetFldFloat(BYTE field) {
    return Run<double>("GetFldFloat", {field}, 0.0, 0.0, [&](Library& lib, JournalValue& shown) {
        double v = lib.LastAnswer().Float(field);
        shown = v;
        return v;
    });
}

AZ LPSTR WINAPI GetFldStr(BYTE field, LPSTR buffer) {
    return Run<LPSTR>("GetFldStr", {field, Out(buffer)}, nullptr, nullptr, [&](Library& lib, JournalValue& shown) {
        return Give(buffer, lib.LastAnswer().Text(field), lib.LastAnswer().textCapacity, shown);
    });
}

AZ LONG WINAPI GetDllVer() {
    return Call("GetDllVer", {}, [](Library& lib) { return lib.Version(); });
}

AZ LONG WINAPI GetAnswer(LPSTR buffer) { return Unsupported("GetAnswer", {Out(buffer)}); }

// --- queries -----------------------------------------------------------------------------------

AZ LONG WINAPI GetShiftState(LONG* state, LONG* other) {
    return Cmd("GetShiftState", {Out(state), Out(other)}, kSilent, [&](Printer& p) {
        *state = p.ShiftState();
        *other = static_cast<LONG>(p.Memory().lastClosedShift + 1);
        return p.DocumentOpen() ? kDocumentOpen : kOk;
    });
}

AZ LONG WINAPI GetResource() {
    return Ask("GetResource", {}, kSilent, [](Printer& p, Answer& a) { return p.Resource(a); });
}

AZ LONG WINAPI GetNumbers() {
    return Ask("GetNumbers", {}, kSilent, [](Printer& p, Answer& a) { return p.Numbers(a); });
}

AZ LONG WINAPI GetLastDoc() {
    return Ask("GetLastDoc", {}, kSilent, [](Printer& p, Answer& a) { return p.Numbers(a); });
}

AZ LONG WINAPI GetMony() {
    return Ask("GetMony", {}, kSilent, [](Printer& p, Answer& a) { return p.Money(a); });
}

AZ LONG WINAPI GetEReport(BYTE kind, BYTE type) {
    return Ask("GetEReport", {kind, type}, kSilent, [&](Printer& p, Answer& a) { return p.EReport(kind, type, a); });
}

AZ LONG WINAPI GetCounters() {
    return Ask("GetCounters", {}, kSilent, [](Printer& p, Answer& a) { return p.Counters(a); });
}

AZ LONG WINAPI GetParamDoc() {
    return Ask("GetParamDoc", {}, kSilent, [](Printer& p, Answer& a) { return p.ParamDoc(a); });
}

AZ LONG WINAPI GetFiscalNums() {
    return Ask("GetFiscalNums", {}, kSilent, [](Printer& p, Answer& a) { return p.FiscalNums(a); });
}

AZ LONG WINAPI GetFiscalInfo() {
    return Ask("GetFiscalInfo", {}, kSilent, [](Printer& p, Answer& a) { return p.FiscalNums(a); });
}

AZ LONG WINAPI GetSerialNum() {
    return Ask("GetSerialNum", {}, kSilent, [](Printer& p, Answer& a) { return p.SerialNum(a); });
}

AZ LONG WINAPI GetDate() {
    return Ask("GetDate", {}, kSilent, [](Printer& p, Answer& a) { return p.Date(a); });
}

AZ LONG WINAPI GetTaxes(BYTE group) {
    return Ask("GetTaxes", {group}, kSilent, [&](Printer& p, Answer& a) { return p.Taxes(group, a); });
}

AZ LONG WINAPI GetPayment(BYTE number) {
    return Ask("GetPayment", {number}, kSilent, [&](Printer& p, Answer& a) { return p.Payment(number, a); });
}

AZ LONG WINAPI GetStatusPlus() {
    return Ask("GetStatusPlus", {}, kSilent, [](Printer& p, Answer& a) { return p.Status(Lib().PaperOut(), a); });
}

AZ LONG WINAPI GetStatusNum() {
    return Ask("GetStatusNum", {}, kSilent, [](Printer& p, Answer& a) { return p.Status(Lib().PaperOut(), a); });
}

// --- shift and reports -------------------------------------------------------------------------

AZ LONG WINAPI ShiftOpen(LPCSTR text) {
    return Cmd("ShiftOpen", {S(text)}, kPrints, [](Printer& p) { return p.ShiftOpen(); });
}

AZ LONG WINAPI ShiftClose() {
    return Report("ShiftClose", [](Printer& p) { return p.ShiftClose(); });
}

AZ LONG WINAPI XReport() {
    return Report("XReport", [](Printer& p) { return p.XReport(); });
}

// --- fiscal receipt ----------------------------------------------------------------------------

AZ LONG WINAPI ChangeOpName(LPCSTR name) {
    return Cmd("ChangeOpName", {S(name)}, kSilent, [&](Printer& p) {
        p.SetOperator(Str(name));
        return kOk;
    });
}

AZ LONG WINAPI StartReceipt(LONG kind, LONG copies, LPCSTR text1, LPCSTR text2, LPCSTR text3) {
    return Cmd("StartReceipt", {kind, copies, S(text1), S(text2), S(text3)}, kPrints,
               [&](Printer& p) { return p.StartReceipt(kind); });
}

AZ LONG WINAPI ItemReceipt(LPCSTR name, LPCSTR code, LPCSTR unit, LPCSTR department, LONG price, LONG quantity,
                           LONG flags) {
    return Cmd("ItemReceipt", {S(name), S(code), S(unit), S(department), price, quantity, flags}, kPrints,
               [&](Printer& p) { return p.AddItem(Str(name), Str(code), Str(unit), Str(department), price, quantity); });
}

AZ LONG WINAPI CommentReceipt(LPCSTR text) {
    return Cmd("CommentReceipt", {S(text)}, kPrints, [&](Printer& p) { return p.Comment(Str(text)); });
}

AZ LONG WINAPI ComissionReceiptPlus(LONG kind, LONG mode, LONG amount, LPCSTR text) {
    return Cmd("ComissionReceiptPlus", {kind, mode, amount, S(text)}, kPrints, [&](Printer& p) {
        if (kind != 0 && kind != 1)
            return kBadArgument;
        return p.Adjust(kind == 1, mode, amount, Str(text));
    });
}

AZ LONG WINAPI TaxReceipt(BYTE group) {
    return Cmd("TaxReceipt", {group}, kSilent, [&](Printer& p) { return p.Tax(group); });
}

AZ LONG WINAPI TotalReceipt() {
    return Cmd("TotalReceipt", {}, kPrints, [](Printer& p) { return p.Total(); });
}

AZ LONG WINAPI TotalReceiptPlus() {
    return Cmd("TotalReceiptPlus", {}, kPrints, [](Printer& p) { return p.Total(); });
}

AZ LONG WINAPI SubTotalReceipt() {
    return Ask("SubTotalReceipt", {}, kPrints, [](Printer& p, Answer& a) { return p.SubTotal(a); });
}

AZ LONG WINAPI TenderReceipt(BYTE type, LONG amount, LPCSTR text) {
    return Ask("TenderReceipt", {type, amount, S(text)}, kPrints,
               [&](Printer& p, Answer& a) { return p.Pay(type, amount, Str(text), a); });
}

AZ LONG WINAPI TenderReceiptPlus(BYTE type, LONG amount, LPCSTR text) {
    return Ask("TenderReceiptPlus", {type, amount, S(text)}, kPrints,
               [&](Printer& p, Answer& a) { return p.Pay(type, amount, Str(text), a); });
}

AZ LONG WINAPI CloseReceipt() {
    return Cmd("CloseReceipt", {}, kPrints, [](Printer& p) { return p.CloseReceipt(); });
}

// Cancelling needs no paper: a receipt interrupted by the paper running out can be dropped.
AZ LONG WINAPI CancelReceipt() {
    return Cmd("CancelReceipt", {}, kSilent, [](Printer& p) { return p.CancelReceipt(); });
}

// --- text documents ----------------------------------------------------------------------------

AZ LONG WINAPI OpenFDoc() {
    return Cmd("OpenFDoc", {}, kPrints, [](Printer& p) { return p.OpenText(); });
}

// The library sends `length` bytes whatever they hold, and the printer has no character for a
// NUL: it refuses the text. A length that counts the terminator, or a buffer's size instead of the
// text's, is then an error rather than a text that happens to print.
AZ LONG WINAPI PrintOEMDoc(LPCSTR text, LONG length) {
    Arg shown = Bytes(text, length);
    return Cmd("PrintOEMDoc", {shown, length}, kPrints, [&](Printer& p) {
        if (shown.value.text.find('\0') != std::string::npos)
            return kBadCharacter;
        return p.PrintText(shown.value.text);
    });
}

AZ LONG WINAPI FontSelectFDoc(BYTE font) {
    return Cmd("FontSelectFDoc", {font}, kSilent, [&](Printer& p) { return p.SelectFont(font); });
}

AZ LONG WINAPI CloseFDoc() {
    return Cmd("CloseFDoc", {}, kPrints, [](Printer& p) { return p.CloseText(); });
}

AZ LONG WINAPI CloseFDocEx(BYTE flags) {
    return Cmd("CloseFDocEx", {flags}, kPrints, [](Printer& p) { return p.CloseText(); });
}

AZ LONG WINAPI CloseFDocPlus(BYTE flags) {
    return Cmd("CloseFDocPlus", {flags}, kPrints, [](Printer& p) { return p.CloseText(); });
}

// --- cash and drawer ---------------------------------------------------------------------------

AZ LONG WINAPI ToCash(LONG amount) {
    return Cmd("ToCash", {amount}, kPrints, [&](Printer& p) { return p.CashIn(amount); });
}

AZ LONG WINAPI FromCash(LONG amount) {
    return Cmd("FromCash", {amount}, kPrints, [&](Printer& p) { return p.CashOut(amount); });
}

AZ LONG WINAPI CashDriverOpen() {
    return Cmd("CashDriverOpen", {}, kSilent, [](Printer& p) { return p.OpenDrawer(); });
}

AZ LONG WINAPI CashDriverEnable(LONG mode) {
    return Cmd("CashDriverEnable", {mode}, kSilent, [&](Printer& p) { return p.SetDrawerAuto(mode); });
}

AZ LONG WINAPI SetDrawerParam(LONG on, LONG off, LONG flags) {
    return Cmd("SetDrawerParam", {on, off, flags}, kSilent,
               [&](Printer& p) { return p.SetDrawerParam(on, off, flags); });
}

// --- programming -------------------------------------------------------------------------------

AZ LONG WINAPI SetHeader(LPCSTR line1, LPCSTR line2, LPCSTR line3, LPCSTR line4) {
    return Cmd("SetHeader", {S(line1), S(line2), S(line3), S(line4)}, kSilent,
               [&](Printer& p) { return p.SetHeader(Lines4(line1, line2, line3, line4)); });
}

AZ LONG WINAPI SetHeaderNew(LPCSTR line1, LPCSTR line2, LPCSTR line3, LPCSTR line4) {
    return Cmd("SetHeaderNew", {S(line1), S(line2), S(line3), S(line4)}, kSilent,
               [&](Printer& p) { return p.SetHeader(Lines4(line1, line2, line3, line4)); });
}

AZ LONG WINAPI SetTail(LPCSTR line1, LPCSTR line2, LPCSTR line3, LPCSTR line4) {
    return Cmd("SetTail", {S(line1), S(line2), S(line3), S(line4)}, kSilent,
               [&](Printer& p) { return p.SetTail(Lines4(line1, line2, line3, line4)); });
}

AZ LONG WINAPI SetPayment(BYTE number, LPCSTR name, LONG a, LONG cash, LONG b, LONG c, LPCSTR d) {
    return Cmd("SetPayment", {number, S(name), a, cash, b, c, S(d)}, kSilent,
               [&](Printer& p) { return p.SetPayment(number, Str(name)); });
}

AZ LONG WINAPI SetTaxes(BYTE group, BYTE flags, LPCSTR name, LPCSTR rate, LPCSTR second) {
    return Cmd("SetTaxes", {group, flags, S(name), S(rate), S(second)}, kSilent,
               [&](Printer& p) { return p.SetTax(group, Str(name), Str(rate)); });
}

AZ LONG WINAPI SetParamDoc(WORD word1, WORD word2, LONG extra) {
    return Cmd("SetParamDoc", {word1, word2, extra}, kSilent, [&](Printer& p) { return p.SetParamDoc(word1, word2); });
}

AZ LONG WINAPI SetDate() {
    return Cmd("SetDate", {}, kSilent, [](Printer& p) { return p.SetDate(); });
}

// --- not in this model -------------------------------------------------------------------------

AZ LONG WINAPI AddDept(BYTE dept, LPCSTR name) { return Unsupported("AddDept", {dept, S(name)}); }
AZ LONG WINAPI SetDept(BYTE dept, LPCSTR name) { return Unsupported("SetDept", {dept, S(name)}); }
AZ LONG WINAPI GetDept(BYTE dept) { return Unsupported("GetDept", {dept}); }
AZ LONG WINAPI CloseDept() { return Unsupported("CloseDept", {}); }
AZ LONG WINAPI ClearAllDept() { return Unsupported("ClearAllDept", {}); }
AZ LONG WINAPI AddArt(LPCSTR code, LPCSTR name, LONG price, BYTE dept) {
    return Unsupported("AddArt", {S(code), S(name), price, dept});
}
AZ LONG WINAPI SetArt(LPCSTR code, LPCSTR name, LONG price, BYTE dept) {
    return Unsupported("SetArt", {S(code), S(name), price, dept});
}
AZ LONG WINAPI GetArt(LPCSTR code) { return Unsupported("GetArt", {S(code)}); }
AZ LONG WINAPI CloseArt() { return Unsupported("CloseArt", {}); }
AZ LONG WINAPI ItemReceiptPlus(LPCSTR name, LPCSTR code, LPCSTR unit, LPCSTR department, LONG price, LONG quantity,
                               LONG flags, BYTE tax) {
    return Unsupported("ItemReceiptPlus", {S(name), S(code), S(unit), S(department), price, quantity, flags, tax});
}
AZ LONG WINAPI ItemDepReceipt(LPCSTR name, LPCSTR code, BYTE dept, LONG price, LONG quantity) {
    return Unsupported("ItemDepReceipt", {S(name), S(code), dept, price, quantity});
}
AZ LONG WINAPI ItemDepReceiptPlus(LPCSTR name, LPCSTR code, BYTE dept, LONG price, LONG quantity, BYTE tax) {
    return Unsupported("ItemDepReceiptPlus", {S(name), S(code), dept, price, quantity, tax});
}
AZ LONG WINAPI ItemDepReceiptEx(LPCSTR name, LPCSTR code, BYTE dept, LONG price, LONG quantity, BYTE tax,
                                LPCSTR unit) {
    return Unsupported("ItemDepReceiptEx", {S(name), S(code), dept, price, quantity, tax, S(unit)});
}
AZ LONG WINAPI GetLastKPK() { return Unsupported("GetLastKPK", {}); }
AZ LONG WINAPI EKLEJournalTotal() { return Unsupported("EKLEJournalTotal", {}); }
AZ LONG WINAPI EKLKPKReport(LONG kpk) { return Unsupported("EKLKPKReport", {kpk}); }
AZ LONG WINAPI EKLEJournalReport(LONG shift) { return Unsupported("EKLEJournalReport", {shift}); }
AZ LONG WINAPI EKLShiftsNumReport(LONG from, LONG to, BYTE full) {
    return Unsupported("EKLShiftsNumReport", {from, to, full});
}
AZ LONG WINAPI EKLShiftsDateReport(LPCSTR from, LPCSTR to, BYTE full) {
    return Unsupported("EKLShiftsDateReport", {S(from), S(to), full});
}
AZ LONG WINAPI GetNumReport(LONG from, LONG to, BYTE full) { return Unsupported("GetNumReport", {from, to, full}); }
AZ LONG WINAPI GetDateReport(LPCSTR from, LPCSTR to, BYTE full) {
    return Unsupported("GetDateReport", {S(from), S(to), full});
}
AZ LONG WINAPI EJPrint() { return Unsupported("EJPrint", {}); }
AZ LONG WINAPI EJPrintEx(BYTE kind) { return Unsupported("EJPrintEx", {kind}); }
AZ LONG WINAPI EJNoDoc(LONG number) { return Unsupported("EJNoDoc", {number}); }
AZ LONG WINAPI EJNoReport(LONG number) { return Unsupported("EJNoReport", {number}); }
AZ LONG WINAPI EJTimeReport(LPCSTR from, LPCSTR to) { return Unsupported("EJTimeReport", {S(from), S(to)}); }
AZ LONG WINAPI EJDateTimeReport(LPCSTR from, LPCSTR to) { return Unsupported("EJDateTimeReport", {S(from), S(to)}); }
AZ LONG WINAPI PrintBarcodeFDoc(BYTE kind, LPCSTR text) { return Unsupported("PrintBarcodeFDoc", {kind, S(text)}); }
AZ LONG WINAPI BarcodeReceipt(BYTE kind, LPCSTR text) { return Unsupported("BarcodeReceipt", {kind, S(text)}); }
AZ LONG WINAPI OpenFiscalDoc(BYTE kind) { return Unsupported("OpenFiscalDoc", {kind}); }
AZ LONG WINAPI AddPosField(LPCSTR name, LONG price, LONG quantity) {
    return Unsupported("AddPosField", {S(name), price, quantity});
}
AZ LONG WINAPI AddFreeField(LPCSTR text) { return Unsupported("AddFreeField", {S(text)}); }
AZ LONG WINAPI PrintFiscalSlip() { return Unsupported("PrintFiscalSlip", {}); }
AZ LONG WINAPI CloseFreeDoc() { return Unsupported("CloseFreeDoc", {}); }
AZ LONG WINAPI OpenFiscalDocPlus(BYTE kind, LPCSTR cashier) {
    return Unsupported("OpenFiscalDocPlus", {kind, S(cashier)});
}
AZ LONG WINAPI AddPosFieldPlus(LPCSTR name, LONG price, LONG quantity, BYTE dept) {
    return Unsupported("AddPosFieldPlus", {S(name), price, quantity, dept});
}
AZ LONG WINAPI AddFreeFieldPlus(BYTE font, LPCSTR text) { return Unsupported("AddFreeFieldPlus", {font, S(text)}); }
AZ LONG WINAPI AddPayFieldPlus(BYTE type, LONG amount) { return Unsupported("AddPayFieldPlus", {type, amount}); }
AZ LONG WINAPI AddSubDepFieldPlus(BYTE dept) { return Unsupported("AddSubDepFieldPlus", {dept}); }
AZ LONG WINAPI PrintFiscalSlipPlus() { return Unsupported("PrintFiscalSlipPlus", {}); }
AZ LONG WINAPI CloseFreeDocPlus() { return Unsupported("CloseFreeDocPlus", {}); }
AZ LONG WINAPI SlipSelectFDoc(BYTE on) { return Unsupported("SlipSelectFDoc", {on}); }
AZ LONG WINAPI SlipEjectFDoc() { return Unsupported("SlipEjectFDoc", {}); }
