// The text copy of a receipt in lines of a fixed width: its header, one block per item, the
// totals with the payments and the change. ANSI text, each line followed by CR LF.
#pragma once

#include "fiscal/uDriverFR.h"
#include "fiscal/uReceiptTables.h"

#include <string>

struct TCopyContext {
    int Width = 40;
    std::string SerialNumber;
    std::string Cashier;
    const TNameList* Departments = nullptr;
    const TNameList* Taxes = nullptr;
    const TNameList* Payments = nullptr;
    bool PrintTaxes = false;
    char DecimalSeparator = ','; // the system's
};

void RenderCopyHeader(const TCopyContext& Context, const TReceiptParams& Params, std::string& Out);
void RenderCopyItem(const TCopyContext& Context, const TGoodsRow& Row, std::string& Out);
// Reads the payment rows it shows (EDriverError for one that does not convert).
void RenderCopyTotals(const TCopyContext& Context, const TReceiptParams& Params, const TReceiptTable& Payments,
                      std::string& Out);

// The system's decimal separator, as amounts on paper show it.
char PaperDecimalSeparator();
