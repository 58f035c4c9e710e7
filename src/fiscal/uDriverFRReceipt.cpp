// TDriverFR: fiscal receipts. The printer computes totals, taxes and change itself; the driver
// sends the items with their discounts and tax groups and the payments one by one, and cancels
// the receipt on any failure.
#include "fiscal/uDriverFR.h"

#include "fiscal/uDocumentGuard.h"
#include "fiscal/uFiscalTexts.h"
#include "fiscal/uTextLayout.h"
#include "framework/uEquipmentErrors.h"

namespace {

constexpr LONG LibTaxRateMissing = 12;
constexpr BYTE PaidStatusField = 2;
constexpr BYTE PaidStatus = 5; // in the low three bits, once the payments cover the total

constexpr LONG SaleKind = 0;
constexpr LONG ReturnKind = 2;

} // namespace

LONG TDriverFR::DoPrintReceipt(const Variant& Goods, const Variant& Payments, const Variant& ReceiptParams,
                               TFiscalDocResult& Result, WString& Text) {
    const LONG ready = CheckReady();
    if (ready != ErrNone)
        return ready;
    TReceiptParams params;
    if (!ReadHostInput([&] { ReadReceiptParams(ReceiptParams, params); }))
        return ErrInvalidParameters;
    if (params.PrintMode == 2)
        return ErrNoSlipDocument;
    const LONG code = params.Fiscal ? PrintFiscalReceipt(Goods, Payments, params, Text)
                                    : PrintReceiptCopy(Goods, Payments, params, Text);
    if (code == ErrNone)
        ReadDocNumbers(Result);
    return code;
}

LONG TDriverFR::PrintFiscalReceipt(const Variant& Goods, const Variant& Payments, const TReceiptParams& Params,
                                   WString& Text) {
    // Every row is read and converted before anything is sent: a table the printer cannot take
    // leaves no trace on it, not even a cancelled receipt.
    const bool printTaxes = GetParamAsBoolean("PrintTaxes");
    std::optional<TReceiptTable> goods, payments;
    TGoodsRow row;
    TReceiptItem item;
    TPaymentRow payment;
    TTender tender;
    if (!ReadHostInput([&] {
            goods.emplace(Goods);
            payments.emplace(Payments);
            for (std::int64_t i = 0; i < goods->RowCount(); ++i) {
                ReadGoodsRow(*goods, goods->Row(i), row);
                ToReceiptItem(row, printTaxes, item);
            }
            for (std::int64_t i = 0; i < payments->RowCount(); ++i) {
                ReadPaymentRow(*payments, payments->Row(i), payment);
                ToTender(payment, tender);
            }
        }))
        return ErrInvalidParameters;

    LONG code = CheckShift(Text);
    if (code != ErrNone)
        return code;
    const TAzimuthEntries lib = Lib();
    TDocumentGuard cancel(lib.CancelReceipt, [this](LONG cancelled) { NoteDocumentCancelled(true, cancelled); });
    code = BeginReceipt(lib, Params, Text);
    for (std::int64_t i = 0; code == ErrNone && i < goods->RowCount(); ++i) {
        ReadGoodsRow(*goods, goods->Row(i), row);
        ToReceiptItem(row, printTaxes, item);
        code = AddReceiptItem(lib, item, Text);
    }
    if (code == ErrNone)
        code = FinishReceipt(lib, *payments, Params, Text);
    if (code == ErrNone)
        cancel.Release();
    return code;
}

LONG TDriverFR::BeginReceipt(const TAzimuthEntries& Lib, const TReceiptParams& Params, WString& Text) {
    LONG code = Lib.ChangeOpName(Params.Cashier.c_str());
    if (code == ErrNone)
        code = Lib.StartReceipt(Params.Kind == 0 ? SaleKind : ReturnKind, 1, "", "", "");
    // A header that does not print does not make the receipt wrong.
    if (code == ErrNone && !Params.Header.empty())
        Lib.CommentReceipt(CenterText(Params.Header, FRowWidth).c_str());
    return TranslateError(code, Text);
}

LONG TDriverFR::AddReceiptItem(const TAzimuthEntries& Lib, const TReceiptItem& Item, WString& Text) {
    const std::string department = FDepartmentNames.Name(Item.Department);
    LONG code = Lib.ItemReceipt(Item.Name.c_str(), Item.Code.c_str(), " ", department.c_str(), Item.Price,
                                Item.Quantity, 1);
    if (code == ErrNone && !Item.Comment.empty())
        Lib.CommentReceipt(Item.Comment.c_str());
    if (code == ErrNone && Item.HasAdjustment)
        code = Lib.ComissionReceiptPlus(Item.AdjustmentKind, 0, Item.Adjustment, Item.AdjustmentText.c_str());
    if (code == ErrNone && Item.TaxGroup >= 0) {
        code = Lib.TaxReceipt(static_cast<BYTE>(Item.TaxGroup));
        if (code == LibTaxRateMissing)
            code = LibTaxRateNotSet;
    }
    return TranslateError(code, Text);
}

LONG TDriverFR::FinishReceipt(const TAzimuthEntries& Lib, const TReceiptTable& Payments, const TReceiptParams& Params,
                              WString& Text) {
    LONG code = Lib.TotalReceipt();
    if (code != ErrNone)
        return TranslateError(code, Text);
    bool covered = false;
    if (Payments.RowCount() <= 0) {
        covered = true;
        code = Lib.TenderReceipt(0, 0, "");
    }
    TPaymentRow payment;
    TTender tender;
    for (std::int64_t i = 0; !covered && i < Payments.RowCount(); ++i) {
        ReadPaymentRow(Payments, Payments.Row(i), payment);
        ToTender(payment, tender);
        code = Lib.TenderReceipt(tender.Type, tender.Amount, tender.Text.c_str());
        covered = (Lib.GetFldByte(PaidStatusField) & 7) == PaidStatus;
    }
    if (code == ErrNone && !covered)
        return ErrPaymentMismatch;
    if (code == ErrNone && !Params.Footer.empty())
        code = Lib.CommentReceipt(CenterText(Params.Footer, FRowWidth).c_str());
    if (code == ErrNone) {
        code = Lib.CloseReceipt();
        // An answer lost on the line after the printer closed the receipt: it is registered and
        // paid, and reporting it as failed would have the host print it again.
        LONG state = 0, other = 0;
        if (code != ErrNone && Lib.GetShiftState(&state, &other) == ErrNone) {
            NoteLibraryEvent(TEventLevel::Warning, fiscaltexts::EventLostAnswer, code);
            code = ErrNone;
        }
    }
    return TranslateError(code, Text);
}
