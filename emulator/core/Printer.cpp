#include "emulator/Printer.h"

#include "PaperTexts.h"
#include "emulator/Encoding.h"
#include "emulator/Money.h"
#include "emulator/StateFiles.h"

#include <algorithm>
#include <map>

namespace azimuth {

namespace {

constexpr PrinterTime kShiftLength = 24 * 3600;
constexpr std::int32_t kShiftRecords = 2500; // capacity of the fiscal memory, in shifts
constexpr std::size_t kCodeWidth = 20, kUnitWidth = 8, kLabelWidth = 20, kTaxNameWidth = 16;
constexpr std::size_t kCommentLines = 10;
constexpr std::int32_t kBaudRates[] = {2400, 4800, 9600, 14400, 19200, 38400, 57600, 115200};

std::string P(const char* utf8) { return Ansi(utf8); }

std::string Cut(std::string text, std::size_t width) {
    if (text.size() > width)
        text.resize(width);
    return text;
}

std::string Trim(std::string_view text) {
    std::size_t b = text.find_first_not_of(' ');
    if (b == std::string_view::npos)
        return {};
    std::size_t e = text.find_last_not_of(' ');
    return std::string(text.substr(b, e - b + 1));
}

std::string Amount(std::int64_t kopecks) {
    std::string text = "=";
    text += FormatMoney(kopecks);
    return text;
}

void Append(Lines& lines, const Lines& more) { lines.insert(lines.end(), more.begin(), more.end()); }

void Inc(std::int32_t& counter) {
    if (counter < INT32_MAX)
        ++counter;
}

// Adds to a total, remembering whether every sum stayed in range.
struct Totalizer {
    bool ok = true;
    void operator()(std::int64_t& total, std::int64_t amount) {
        auto sum = Add(total, amount);
        if (!sum || *sum > kMaxTotal || *sum < 0)
            ok = false;
        else
            total = *sum;
    }
};

} // namespace

Printer::Printer(std::filesystem::path folder, std::string port)
    : folder_(std::move(folder)), port_(std::move(port)), config_(LoadConfig(folder_, port_)),
      memory_(LoadMemory(folder_)) {}

// --- bookkeeping -------------------------------------------------------------------------------

Code Printer::Commit(FiscalMemory next, const Lines& lines) {
    try {
        SaveMemory(folder_, next);
    } catch (const std::exception&) {
        return kStorageFailed;
    }
    memory_ = std::move(next);
    PrintLines(folder_, lines);
    return kOk;
}

Code Printer::Configure(PrinterConfig next) {
    try {
        SaveConfig(folder_, next);
    } catch (const std::exception&) {
        return kStorageFailed;
    }
    config_ = std::move(next);
    return kOk;
}

void Printer::NumberDocument(FiscalMemory& next) const {
    next.documentNumber = next.documentNumber >= INT32_MAX - 1 ? 1 : next.documentNumber + 1;
    Inc(next.shift.documents);
}

bool Printer::Expired(const FiscalMemory& m) const {
    return m.shiftOpen && Now() - m.shiftOpenedAt >= kShiftLength;
}

ShiftStateCode Printer::ShiftState() const {
    if (!memory_.shiftOpen)
        return kStateClosed;
    return Expired(memory_) ? kStateExpired : kStateOpen;
}

Code Printer::StartSession() {
    if (session_)
        return kAlreadyDone;
    session_ = true;
    return kOk;
}

// --- printed pieces ----------------------------------------------------------------------------

void Printer::Header(Lines& lines) const {
    for (const auto& line : config_.header)
        if (!Trim(line).empty())
            lines.push_back(Center(Trim(line)));
}

void Printer::Opening(Lines& lines) const {
    if (Doc1(doc1::kHeaderFirst))
        Header(lines);
    lines.push_back(Pair(P(paper::kPrinter) + config_.serial, P(paper::kTaxpayer) + config_.taxpayer));
}

// The header of the next customer's receipt follows the cut when it is not printed first.
void Printer::Closing(Lines& lines, const FiscalMemory& next) const {
    const PrinterTime now = Now();
    lines.push_back(Pair(FormatDate(now) + " " + FormatTime(now), P(paper::kDocNo) + std::to_string(next.documentNumber)));
    if (!Doc1(doc1::kHeaderFirst))
        Header(lines);
    if (!Doc2(doc2::kNoCut))
        lines.push_back(CutMark());
}

void Printer::Report(Lines& lines, const FiscalMemory& m, bool z) const {
    const ShiftTotals& s = m.shift;
    const bool skipZero = Doc1(doc1::kNoZeroCounters);
    auto money = [&](const char* label, std::int64_t v) {
        if (v != 0 || !skipZero)
            lines.push_back(Pair(P(label), Amount(v)));
    };
    auto count = [&](const char* label, std::int32_t n) {
        if (n != 0 || !skipZero)
            lines.push_back(Pair(P(label), std::to_string(n)));
    };
    auto byPayment = [&](const std::array<std::int64_t, kPaymentTypes>& totals) {
        for (int t = 0; t < kPaymentTypes; ++t)
            if (totals[t] != 0)
                lines.push_back(Pair(P(paper::kPaymentPrefix) + config_.payments[t], Amount(totals[t])));
    };
    lines.push_back(Center(P(z ? paper::kZReport : paper::kXReport)));
    lines.push_back(P(paper::kCashier) + operator_);
    lines.push_back(Pair(P(paper::kShiftNo), std::to_string(static_cast<std::int64_t>(m.lastClosedShift) + 1)));
    money(paper::kSales, s.sales);
    byPayment(s.salesByPayment);
    money(paper::kReturns, s.returns);
    byPayment(s.returnsByPayment);
    money(paper::kDiscounts, s.discounts);
    money(paper::kMarkups, s.markups);
    for (int g = 0; g < kTaxGroups; ++g)
        if (s.salesTax[g] != 0)
            lines.push_back(Pair(P(paper::kTaxPrefix) + config_.taxes[g].name, Amount(s.salesTax[g])));
    money(paper::kCashIn, s.cashIn);
    money(paper::kCashOut, s.cashOut);
    money(paper::kInDrawer, m.cash);
    count(paper::kSaleReceipts, s.saleReceipts);
    count(paper::kReturnReceipts, s.returnReceipts);
    count(paper::kCancelledReceipts, s.cancelledReceipts);
    if (z) {
        money(paper::kGrandSales, m.grandSales);
        money(paper::kGrandReturns, m.grandReturns);
        lines.push_back(Center(P(paper::kShiftClosed)));
    }
}

// --- shift -------------------------------------------------------------------------------------

Code Printer::ShiftForDocument(FiscalMemory& next, bool fiscal, Lines& lines) const {
    if (next.shiftOpen)
        return fiscal && Expired(next) ? kShiftExpired : kOk;
    if (Doc1(doc1::kExplicitShiftOpen))
        return fiscal ? kShiftClosed : kOk;
    if (!fiscal && Doc1(doc1::kFiscalOpensShift))
        return kOk;
    OpenShift(next, lines);
    return kOk;
}

void Printer::OpenShift(FiscalMemory& next, Lines& lines) const {
    next.shiftOpen = true;
    next.shiftOpenedAt = Now();
    if (Doc2(doc2::kPrintShiftOpen)) {
        NumberDocument(next);
        Opening(lines);
        lines.push_back(Center(P(paper::kShiftOpened)));
        lines.push_back(Pair(P(paper::kShiftNo), std::to_string(static_cast<std::int64_t>(next.lastClosedShift) + 1)));
        Closing(lines, next);
    }
}

Code Printer::ShiftOpen() {
    if (DocumentOpen())
        return kDocumentOpen;
    if (memory_.shiftOpen)
        return kAlreadyDone;
    if (!Doc1(doc1::kNoSessionNeeded) && !session_)
        return kSessionRequired;
    FiscalMemory next = memory_;
    Lines lines;
    OpenShift(next, lines);
    return Commit(std::move(next), lines);
}

Code Printer::XReport() {
    if (DocumentOpen())
        return kDocumentOpen;
    FiscalMemory next = memory_;
    Inc(next.shift.xReports);
    NumberDocument(next);
    Lines lines;
    Opening(lines);
    Report(lines, next, false);
    Closing(lines, next);
    return Commit(std::move(next), lines);
}

Code Printer::ShiftClose() {
    if (DocumentOpen())
        return kDocumentOpen;
    if (!memory_.shiftOpen)
        return kShiftClosed;
    if (memory_.lastClosedShift >= INT32_MAX - 1)
        return kOverflow;
    FiscalMemory next = memory_;
    if (Doc2(doc2::kAutoCashOutAtZ) && next.cash > 0) {
        Totalizer add;
        add(next.shift.cashOut, next.cash);
        if (!add.ok)
            return kOverflow;
        Inc(next.shift.cashOutCount);
        next.cash = 0;
    }
    NumberDocument(next);
    Lines lines;
    Opening(lines);
    Report(lines, next, true);
    if (!Doc1(doc1::kNoResourceReport)) {
        lines.push_back(Center(P(paper::kResources)));
        lines.push_back(Pair(P(paper::kFreeShifts), std::to_string(std::max(0, kShiftRecords - next.lastClosedShift - 1))));
    }
    Closing(lines, next);
    next.lastClosedShift += 1;
    next.shiftOpen = false;
    next.shiftOpenedAt = 0;
    next.receiptNumber = 0;
    next.shift = {};
    Code code = Commit(std::move(next), lines);
    if (code != kOk)
        return code;
    session_ = false;
    if (config_.paramDocResetByZ) {
        PrinterConfig reset = config_;
        reset.paramDoc1 = 0;
        Configure(std::move(reset)); // the Z report stands even if this is not saved
    }
    return kOk;
}

// --- fiscal receipt ----------------------------------------------------------------------------

Code Printer::ReceiptStep(Receipt*& receipt, FiscalMemory& next) const {
    if (!next.document)
        return kNoDocument;
    if (next.document->kind != DocumentKind::Receipt)
        return kWrongDocumentState;
    receipt = &next.document->receipt;
    return kOk;
}

Code Printer::StartReceipt(int kind) {
    if (DocumentOpen())
        return kDocumentOpen;
    if (kind != static_cast<int>(ReceiptKind::Sale) && kind != static_cast<int>(ReceiptKind::Return))
        return kBadArgument;
    FiscalMemory next = memory_;
    Lines lines;
    if (Code code = ShiftForDocument(next, true, lines); code != kOk)
        return code;
    Receipt receipt;
    receipt.kind = static_cast<ReceiptKind>(kind);
    receipt.cashier = operator_;
    receipt.number = next.receiptNumber + 1;
    next.document = OpenDocument{DocumentKind::Receipt, std::move(receipt)};
    Opening(lines);
    lines.push_back(Center(P(kind == 0 ? paper::kSale : paper::kReturn)));
    lines.push_back(P(paper::kCashier) + operator_);
    return Commit(std::move(next), lines);
}

Code Printer::AddItem(std::string name, std::string code, std::string unit, std::string department,
                      std::int32_t price, std::int32_t quantity) {
    FiscalMemory next = memory_;
    Receipt* receipt = nullptr;
    if (Code c = ReceiptStep(receipt, next); c != kOk)
        return c;
    ReceiptItem item;
    item.name = Cut(std::move(name), kPaperWidth);
    item.code = Cut(std::move(code), kCodeWidth);
    item.unit = Cut(std::move(unit), kUnitWidth);
    item.department = Cut(std::move(department), kPaperWidth);
    item.price = price;
    item.quantity = quantity;
    if (Code c = azimuth::AddItem(*receipt, std::move(item)); c != kOk)
        return c;
    const ReceiptItem& added = receipt->items.back();
    Lines lines;
    if (receipt->items.size() > 1 && !Doc1(doc1::kNoBlankBetweenItems))
        lines.push_back("");
    Append(lines, Wrap(added.name));
    if (!Trim(added.code).empty() || !Trim(added.department).empty())
        lines.push_back(Pair(std::string("  ").append(Trim(added.code)), Trim(added.department)));
    if (added.quantity == 1000 && Doc1(doc1::kNoUnitQuantity))
        lines.push_back(Pair("", Amount(added.amount)));
    else
        lines.push_back(Pair(std::string("  ").append(FormatQuantity(added.quantity)).append(P(paper::kTimes)).append(FormatMoney(added.price)),
                             Amount(added.amount)));
    return Commit(std::move(next), lines);
}

Code Printer::Comment(std::string_view text) {
    FiscalMemory next = memory_;
    Receipt* receipt = nullptr;
    if (Code c = ReceiptStep(receipt, next); c != kOk)
        return c;
    // The driver joins the lines of a comment with '|'.
    Lines lines;
    std::size_t start = 0;
    while (start <= text.size() && lines.size() < kCommentLines) {
        std::size_t bar = text.find('|', start);
        std::string_view part = text.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start);
        Lines wrapped = Wrap(part);
        if (wrapped.empty())
            wrapped.push_back("");
        Append(lines, wrapped);
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    if (lines.size() > kCommentLines)
        lines.resize(kCommentLines);
    PrintLines(folder_, lines);
    return kOk;
}

Code Printer::Adjust(bool discount, int mode, std::int32_t value, std::string_view text) {
    FiscalMemory next = memory_;
    Receipt* receipt = nullptr;
    if (Code c = ReceiptStep(receipt, next); c != kOk)
        return c;
    std::int64_t applied = 0;
    if (Code c = AddAdjustment(*receipt, discount, mode, value, applied); c != kOk)
        return c;
    std::string label = P(discount ? paper::kDiscount : paper::kMarkup);
    if (mode == 1)
        label.append(" ").append(FormatRate(value)).append("%");
    Lines lines{Pair(label, Amount(discount ? -applied : applied))};
    if (!Trim(text).empty())
        Append(lines, Wrap(text));
    if (Doc2(doc2::kAdjustmentExtraLine))
        lines.push_back(Pair(P(paper::kItemNet), Amount(receipt->items.back().Net())));
    return Commit(std::move(next), lines);
}

Code Printer::Tax(int group) {
    if (group < 0 || group >= kTaxGroups)
        return kBadArgument;
    FiscalMemory next = memory_;
    Receipt* receipt = nullptr;
    if (Code c = ReceiptStep(receipt, next); c != kOk)
        return c;
    const std::int32_t rate = config_.taxes[group].rate;
    if (rate < 0)
        return kTaxRateNotSet;
    if (Code c = ApplyTax(*receipt, group, rate); c != kOk)
        return c;
    return Commit(std::move(next), {});
}

namespace {

// Taxes included in the total, one line per group.
Lines TaxLines(const Receipt& receipt, const PrinterConfig& config) {
    std::map<int, std::pair<std::int32_t, std::int64_t>> groups;
    for (const auto& item : receipt.items)
        if (item.taxGroup >= 0) {
            auto& g = groups[item.taxGroup];
            g.first = item.taxRate;
            g.second += item.Tax();
        }
    Lines lines;
    for (const auto& [group, tax] : groups)
        lines.push_back(Pair(P(paper::kTaxIncluded) + config.taxes[group].name + " " + FormatRate(tax.first) + "%",
                             Amount(tax.second)));
    return lines;
}

} // namespace

Code Printer::Total() {
    FiscalMemory next = memory_;
    Receipt* receipt = nullptr;
    if (Code c = ReceiptStep(receipt, next); c != kOk)
        return c;
    if (receipt->totaled)
        return kOk;
    if (Code c = TotalUp(*receipt); c != kOk)
        return c;
    std::string total = Amount(receipt->Total());
    if (!Doc2(doc2::kNoRoubleSign))
        total += P(paper::kRoubles);
    Lines lines{Pair(P(paper::kTotal), total)};
    Append(lines, TaxLines(*receipt, config_));
    return Commit(std::move(next), lines);
}

Code Printer::SubTotal(Answer& answer) {
    FiscalMemory next = memory_;
    Receipt* receipt = nullptr;
    if (Code c = ReceiptStep(receipt, next); c != kOk)
        return c;
    answer.SetMoney(5, receipt->Total());
    PrintLines(folder_, {Pair(P(paper::kSubtotal), Amount(receipt->Total()))});
    return kOk;
}

Code Printer::Pay(int type, std::int32_t amount, std::string text, Answer& answer) {
    FiscalMemory next = memory_;
    Receipt* receipt = nullptr;
    if (Code c = ReceiptStep(receipt, next); c != kOk)
        return c;
    text = Cut(std::move(text), kPaperWidth);
    const bool printText = !Trim(text).empty();
    Lines lines{Pair(P(paper::kPaymentPrefix) + config_.payments[type < 0 || type >= kPaymentTypes ? 0 : type],
                     Amount(amount))};
    if (printText)
        Append(lines, Wrap(text));
    // Payments are taken only once the total is struck (Tender refuses them before).
    if (Code c = Tender(*receipt, type, amount, std::move(text)); c != kOk)
        return c;
    if (receipt->Change() > 0)
        lines.push_back(Pair(P(paper::kChange), Amount(receipt->Change())));
    answer.SetInt(2, PaymentStatus(*receipt));
    answer.SetMoney(3, std::max<std::int64_t>(0, receipt->Total() - receipt->Paid()));
    answer.SetMoney(4, receipt->Change());
    return Commit(std::move(next), lines);
}

// Low three bits: 5 paid, 4 not yet. The bits above count the payments taken (up to 31): only the
// low bits tell whether the receipt is paid.
int Printer::PaymentStatus(const Receipt& receipt) const {
    const int status = receipt.Covered() ? 5 : 4;
    if (!config_.tenderStatusHighBits)
        return status;
    const int payments = static_cast<int>(std::min<std::size_t>(receipt.payments.size(), 31));
    return status | (payments << 3);
}

Code Printer::CloseReceipt() {
    FiscalMemory next = memory_;
    Receipt* open = nullptr;
    if (Code c = ReceiptStep(open, next); c != kOk)
        return c;
    // A fiscal printer registers only a receipt that is totalled and paid in full: what is still
    // due is not booked as cash behind the cashier's back. The receipt stays open for more
    // payments or a cancel.
    if (open->items.empty())
        return kEmptyReceipt;
    if (!open->totaled)
        return kWrongDocumentState;
    if (!open->Covered())
        return kReceiptNotPaid;
    const Receipt receipt = *open;
    const bool sale = receipt.kind == ReceiptKind::Sale;
    const std::int64_t cashKept = receipt.KeptBy(0);
    if (!sale && next.cash < cashKept)
        return kNotEnoughCash;

    ShiftTotals& s = next.shift;
    Totalizer add;
    add(sale ? s.sales : s.returns, receipt.Total());
    add(sale ? next.grandSales : next.grandReturns, receipt.Total());
    for (int t = 0; t < kPaymentTypes; ++t)
        add((sale ? s.salesByPayment : s.returnsByPayment)[t], receipt.KeptBy(t));
    for (const auto& item : receipt.items) {
        add(s.discounts, item.discounts);
        add(s.markups, item.markups);
        if (item.taxGroup >= 0)
            add((sale ? s.salesTax : s.returnsTax)[item.taxGroup], item.Tax());
        if (item.discounts > 0)
            Inc(s.discountCount);
        if (item.markups > 0)
            Inc(s.markupCount);
        Inc(sale ? s.saleItems : s.returnItems);
    }
    if (sale)
        add(next.cash, cashKept);
    else
        next.cash -= cashKept;
    if (!add.ok)
        return kOverflow;
    Inc(sale ? s.saleReceipts : s.returnReceipts);
    next.receiptNumber = receipt.number;
    NumberDocument(next);
    next.document.reset();

    Lines lines;
    if (!Doc1(doc1::kNoTail))
        for (const auto& line : config_.tail)
            if (!Trim(line).empty())
                lines.push_back(Center(Trim(line)));
    lines.push_back(Pair(P(paper::kShiftNo) + std::to_string(static_cast<std::int64_t>(next.lastClosedShift) + 1),
                         P(paper::kReceiptNo) + std::to_string(receipt.number)));
    Closing(lines, next);
    return Commit(std::move(next), lines);
}

Code Printer::CancelReceipt() {
    if (!memory_.document)
        return kNoDocument;
    FiscalMemory next = memory_;
    Lines lines;
    NumberDocument(next);
    if (next.document->kind == DocumentKind::Receipt) {
        Inc(next.shift.cancelledReceipts);
        lines.push_back(Center(P(paper::kCancelled)));
        Closing(lines, next);
    } else {
        Inc(next.shift.nonFiscalDocuments);
    }
    next.document.reset();
    return Commit(std::move(next), lines);
}

// --- text documents ----------------------------------------------------------------------------

Code Printer::OpenText() {
    if (DocumentOpen())
        return kDocumentOpen;
    FiscalMemory next = memory_;
    Lines lines;
    if (Code c = ShiftForDocument(next, false, lines); c != kOk)
        return c;
    next.document = OpenDocument{DocumentKind::NonFiscal, {}};
    return Commit(std::move(next), lines);
}

namespace {

Code TextStep(const FiscalMemory& m) {
    if (!m.document)
        return kNoDocument;
    return m.document->kind == DocumentKind::NonFiscal ? kOk : kWrongDocumentState;
}

} // namespace

Code Printer::PrintText(std::string_view text) {
    if (Code c = TextStep(memory_); c != kOk)
        return c;
    PrintLines(folder_, Wrap(text));
    return kOk;
}

Code Printer::SelectFont(int font) {
    if (Code c = TextStep(memory_); c != kOk)
        return c;
    return font >= 0 && font <= 9 ? kOk : kBadArgument;
}

Code Printer::CloseText() {
    if (Code c = TextStep(memory_); c != kOk)
        return c;
    FiscalMemory next = memory_;
    Inc(next.shift.nonFiscalDocuments);
    NumberDocument(next);
    next.document.reset();
    return Commit(std::move(next), {});
}

void Printer::WriteRaw(std::string_view bytes) {
    Lines lines;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == '\x1B' && (bytes[i + 1] == 'i' || bytes[i + 1] == 'm'))
            lines.push_back(CutMark());
    PrintLines(folder_, lines);
}

// --- cash --------------------------------------------------------------------------------------

void Printer::CashDocument(Lines& lines, const FiscalMemory& next, const char* label, std::int32_t amount) const {
    const bool full = !Doc1(doc1::kShortCashDocs);
    if (full) {
        Opening(lines);
        lines.push_back(P(paper::kCashier) + operator_);
    }
    lines.push_back(Pair(P(label), Amount(amount)));
    if (full)
        lines.push_back(Pair(P(paper::kInDrawer), Amount(next.cash)));
    Closing(lines, next);
}

Code Printer::CashIn(std::int32_t amount) {
    if (DocumentOpen())
        return kDocumentOpen;
    if (amount <= 0)
        return kBadArgument;
    FiscalMemory next = memory_;
    Lines lines;
    if (Code c = ShiftForDocument(next, true, lines); c != kOk)
        return c;
    Totalizer add;
    add(next.cash, amount);
    add(next.shift.cashIn, amount);
    if (!add.ok)
        return kOverflow;
    Inc(next.shift.cashInCount);
    NumberDocument(next);
    CashDocument(lines, next, paper::kCashIn, amount);
    return Commit(std::move(next), lines);
}

Code Printer::CashOut(std::int32_t amount) {
    if (DocumentOpen())
        return kDocumentOpen;
    if (amount <= 0)
        return kBadArgument;
    FiscalMemory next = memory_;
    Lines lines;
    if (Code c = ShiftForDocument(next, true, lines); c != kOk)
        return c;
    if (amount > next.cash)
        return kNotEnoughCash;
    Totalizer add;
    add(next.shift.cashOut, amount);
    if (!add.ok)
        return kOverflow;
    next.cash -= amount;
    Inc(next.shift.cashOutCount);
    NumberDocument(next);
    CashDocument(lines, next, paper::kCashOut, amount);
    return Commit(std::move(next), lines);
}

Code Printer::OpenDrawer() { return kOk; }

Code Printer::SetDrawerAuto(std::int32_t mode) {
    if (config_.drawerAutoOpen == (mode != 0))
        return kOk;
    PrinterConfig next = config_;
    next.drawerAutoOpen = mode != 0;
    return Configure(std::move(next));
}

Code Printer::SetDrawerParam(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (config_.drawer == std::array<std::int32_t, 3>{a, b, c})
        return kOk;
    PrinterConfig next = config_;
    next.drawer = {a, b, c};
    return Configure(std::move(next));
}

// --- programming -------------------------------------------------------------------------------

Code Printer::SetLines(std::array<std::string, 4> PrinterConfig::*field, const std::array<std::string, 4>& lines) {
    if (DocumentOpen())
        return kDocumentOpen;
    PrinterConfig next = config_;
    for (std::size_t i = 0; i < lines.size(); ++i)
        (next.*field)[i] = Cut(lines[i], kPaperWidth);
    return Configure(std::move(next));
}

Code Printer::SetHeader(const std::array<std::string, 4>& lines) { return SetLines(&PrinterConfig::header, lines); }

Code Printer::SetTail(const std::array<std::string, 4>& lines) { return SetLines(&PrinterConfig::tail, lines); }

Code Printer::SetPayment(int number, std::string name) {
    if (number < 0 || number >= kPaymentTypes)
        return kBadArgument;
    if (DocumentOpen())
        return kDocumentOpen;
    PrinterConfig next = config_;
    next.payments[number] = Cut(Trim(name), kLabelWidth);
    return Configure(std::move(next));
}

Code Printer::SetTax(int group, std::string name, std::string_view rate) {
    if (group < 0 || group >= kTaxGroups)
        return kBadArgument;
    auto hundredths = ParseRate(rate);
    if (!hundredths)
        return kBadArgument;
    if (DocumentOpen())
        return kDocumentOpen;
    // Rates are part of the shift's fiscal record: they change only between shifts.
    if (memory_.shiftOpen)
        return kShiftMustBeClosed;
    PrinterConfig next = config_;
    next.taxes[group] = {Cut(Trim(name), kTaxNameWidth), *hundredths};
    return Configure(std::move(next));
}

Code Printer::SetParamDoc(std::uint16_t word1, std::uint16_t word2) {
    if (DocumentOpen())
        return kDocumentOpen;
    PrinterConfig next = config_;
    next.paramDoc1 = word1;
    next.paramDoc2 = word2;
    return Configure(std::move(next));
}

Code Printer::SetDate() {
    PrinterConfig next = config_;
    next.clock.offsetSeconds = 0;
    next.clock.frozenAt.reset();
    return Configure(std::move(next));
}

Code Printer::ChangeBaudrate(std::string_view rate) {
    auto baud = ParseUnsigned(rate);
    if (!baud || std::find(std::begin(kBaudRates), std::end(kBaudRates), *baud) == std::end(kBaudRates))
        return kBadArgument;
    PrinterConfig next = config_;
    next.baudRate = *baud;
    return Configure(std::move(next));
}

// --- queries -----------------------------------------------------------------------------------

Code Printer::Resource(Answer& a) const {
    a.SetInt(5, std::max(0, kShiftRecords - memory_.lastClosedShift));
    a.SetInt(6, memory_.lastClosedShift);
    a.SetInt(7, memory_.lastClosedShift);
    return kOk;
}

Code Printer::Numbers(Answer& a) const {
    a.SetInt(5, memory_.documentNumber);
    a.SetInt(6, memory_.receiptNumber);
    a.SetInt(7, static_cast<std::int64_t>(memory_.lastClosedShift) + 1);
    return kOk;
}

Code Printer::Money(Answer& a) const {
    const ShiftTotals& s = memory_.shift;
    a.SetMoney(5, s.sales);
    a.SetMoney(6, s.returns);
    a.SetMoney(7, s.discounts);
    a.SetMoney(8, s.markups);
    a.SetMoney(9, memory_.grandSales);
    a.SetMoney(10, memory_.grandReturns);
    a.SetMoney(21, memory_.cash);
    a.SetMoney(22, s.cashIn);
    a.SetMoney(23, s.cashOut);
    return kOk;
}

Code Printer::EReport(int kind, int type, Answer& a) const {
    constexpr int kTotalsByPayment = 54;
    if (kind != kTotalsByPayment)
        return kNotSupported;
    if (type < 0 || type >= kPaymentTypes)
        return kBadArgument;
    a.SetMoney(5, memory_.shift.salesByPayment[type]);
    a.SetMoney(7, memory_.shift.returnsByPayment[type]);
    a.SetText(8, config_.payments[type]);
    return kOk;
}

Code Printer::Counters(Answer& a) const {
    const ShiftTotals& s = memory_.shift;
    a.SetInt(5, static_cast<std::int64_t>(memory_.lastClosedShift) + 1);
    a.SetInt(6, s.documents);
    a.SetInt(7, s.nonFiscalDocuments);
    a.SetInt(8, s.xReports);
    a.SetInt(9, s.cancelledReceipts);
    a.SetInt(10, s.discountCount);
    a.SetInt(11, s.markupCount);
    a.SetInt(12, s.saleReceipts);
    a.SetInt(13, s.saleItems);
    a.SetInt(14, s.returnReceipts);
    a.SetInt(15, s.returnItems);
    a.SetInt(16, memory_.lastClosedShift);
    a.SetInt(17, s.cashInCount);
    a.SetInt(18, s.cashOutCount);
    return kOk;
}

Code Printer::ParamDoc(Answer& a) const {
    a.SetInt(5, config_.paramDoc1);
    a.SetInt(6, config_.paramDoc2);
    return kOk;
}

Code Printer::FiscalNums(Answer& a) const {
    a.SetText(5, config_.model);
    a.SetText(6, config_.firmware);
    a.SetText(7, config_.serial);
    a.SetText(8, config_.registration);
    a.SetText(9, config_.taxpayer);
    a.SetText(10, config_.fiscalMemory);
    a.SetText(11, config_.journalSerial);
    return kOk;
}

Code Printer::SerialNum(Answer& a) const {
    a.SetText(5, config_.serial);
    a.textCapacity = 12;
    return kOk;
}

Code Printer::Date(Answer& a) const {
    const PrinterTime now = Now();
    const CivilTime c = ToCivil(now);
    a.SetInt(5, c.day);
    a.SetInt(6, c.month);
    a.SetInt(7, c.year);
    a.SetInt(8, c.hour);
    a.SetInt(9, c.minute);
    a.SetInt(10, c.second);
    a.SetText(11, FormatDate(now));
    a.SetText(12, FormatTime(now));
    return kOk;
}

Code Printer::Taxes(int group, Answer& a) const {
    if (group < 0 || group >= kTaxGroups)
        return kBadArgument;
    const TaxGroup& tax = config_.taxes[group];
    a.SetText(5, tax.name);
    a.SetMoney(6, std::max(0, tax.rate)); // hundredths of a per cent read as a percentage
    a.SetInt(7, tax.rate >= 0 ? 1 : 0);
    return kOk;
}

Code Printer::Payment(int number, Answer& a) const {
    if (number < 0 || number >= kPaymentTypes)
        return kBadArgument;
    a.SetText(5, config_.payments[number]);
    return kOk;
}

Code Printer::Status(bool paperOut, Answer& a) const {
    a.SetInt(5, ShiftState());
    a.SetInt(6, memory_.document ? static_cast<int>(memory_.document->kind) : 0);
    a.SetInt(7, paperOut ? 0 : 1);
    return kOk;
}

} // namespace azimuth
