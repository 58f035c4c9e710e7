// TDriverFR: the text copy of a receipt, printed as a non-fiscal document.
#include "fiscal/uDriverFR.h"

#include "fiscal/uReceiptCopy.h"
#include "framework/uEquipmentErrors.h"

#include <algorithm>

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
            TGoodsRow row;
            if (goods.RowCount() > 0)
                ReadGoodsRow(goods, goods.Row(0), row);
            // Room for the usual item of four lines and the header block and footer that follow,
            // reserved once the table is known to hold goods: a row bound alone costs the host
            // nothing (a table without columns holds no elements), and the room is capped anyway,
            // beyond it the text grows as rows are really read.
            constexpr std::int64_t ReservedRows = 4096;
            copy.reserve(static_cast<std::size_t>(std::min(goods.RowCount(), ReservedRows) * 4 + 24) *
                         (static_cast<std::size_t>(FRowWidth) + 2));
            RenderCopyHeader(context, Params, copy);
            for (std::int64_t i = 0; i < goods.RowCount(); ++i) {
                ReadGoodsRow(goods, goods.Row(i), row);
                RenderCopyItem(context, row, copy);
            }
            RenderCopyTotals(context, Params, payments, copy);
        }))
        return ErrInvalidParameters;
    return PrintNonFiscalText(std::move(copy), GetParamAsString("FooterText"), BuildHeaderBlock(), Text);
}
