// TDriverFR: the text copy of a receipt, printed as a non-fiscal document.
#include "fiscal/uDriverFR.h"

#include "fiscal/uReceiptCopy.h"
#include "framework/uEquipmentErrors.h"

LONG TDriverFR::PrintReceiptCopy(const Variant& Goods, const Variant& Payments, const TReceiptParams& Params,
                                 WString& Text) {
    TCopyContext context;
    context.Width = FRowWidth;
    context.SerialNumber = FSerialNumber;
    // The cashier of the driver's settings, not the receipt's.
    context.Cashier = GetParamAsString("DefCashierName");
    context.Departments = &FDepartmentNames;
    context.Taxes = &FTaxNames;
    context.Payments = &FPaymentNames;
    context.PrintTaxes = GetParamAsBoolean("PrintTaxes");
    context.DecimalSeparator = PaperDecimalSeparator();

    // The whole copy is laid out before anything prints: a row that does not read prints nothing.
    std::string copy;
    if (!ReadHostInput([&] {
            const TReceiptTable goods(Goods);
            const TReceiptTable payments(Payments);
            // Room for the usual item of four lines and the header block and footer that follow.
            copy.reserve((static_cast<std::size_t>(goods.RowCount() > 0 ? goods.RowCount() : 0) * 4 + 24) *
                         (static_cast<std::size_t>(FRowWidth) + 2));
            RenderCopyHeader(context, Params, copy);
            TGoodsRow row;
            for (LONG r = goods.FirstRow(); r <= goods.LastRow(); ++r) {
                ReadGoodsRow(goods, r, row);
                RenderCopyItem(context, row, copy);
            }
            RenderCopyTotals(context, Params, payments, copy);
        }))
        return ErrInvalidParameters;
    return PrintNonFiscalText(std::move(copy), GetParamAsString("FooterText"), BuildHeaderBlock(), Text);
}
