// The entry points of the printer library that the driver calls, with their signatures, as one
// list: the driver binds to it, and the virtual printer declares its exports from it, so that a
// signature or calling convention of one that differs from the other fails to compile.
#pragma once

#include "platform/Platform.h"

// X(name, result, (arguments)); stdcall on 32-bit Windows.
#define AZIMUTH_CALLED_ENTRIES(X)                                                                            \
    X(CancelReceipt, LONG, ())                                                                               \
    X(StartReceipt, LONG, (LONG kind, LONG copies, LPCSTR text1, LPCSTR text2, LPCSTR text3))                \
    X(OpenFDoc, LONG, ())                                                                                    \
    X(PrintOEMDoc, LONG, (LPCSTR text, LONG length))                                                         \
    X(ItemReceipt, LONG,                                                                                     \
      (LPCSTR name, LPCSTR code, LPCSTR unit, LPCSTR department, LONG price, LONG quantity, LONG flags))     \
    X(ComissionReceiptPlus, LONG, (LONG kind, LONG mode, LONG amount, LPCSTR text))                          \
    X(TenderReceipt, LONG, (BYTE type, LONG amount, LPCSTR text))                                            \
    X(TotalReceipt, LONG, ())                                                                                \
    X(CloseReceipt, LONG, ())                                                                                \
    X(CashDriverOpen, LONG, ())                                                                              \
    X(FromCash, LONG, (LONG amount))                                                                         \
    X(ToCash, LONG, (LONG amount))                                                                           \
    X(ShiftOpen, LONG, (LPCSTR text))                                                                        \
    X(ShiftClose, LONG, ())                                                                                  \
    X(XReport, LONG, ())                                                                                     \
    X(OpenDLLPlus, LONG, (LPCSTR cashier, LPCSTR password, LPCSTR port, LPCSTR baud, LONG flags))            \
    X(CloseDLL, LONG, ())                                                                                    \
    X(ChangeBaudrate, LONG, (LPCSTR rate))                                                                   \
    X(StartSeans, LONG, ())                                                                                  \
    X(CloseFDoc, LONG, ())                                                                                   \
    X(WriteComm, LONG, (LPCSTR bytes, LONG length))                                                          \
    X(SetCommTimeoutMs, LONG, (LONG readMs, LONG writeMs))                                                   \
    X(GetResource, LONG, ())                                                                                 \
    X(GetNumbers, LONG, ())                                                                                  \
    X(GetMony, LONG, ())                                                                                     \
    X(SetDate, LONG, ())                                                                                     \
    X(SetHeader, LONG, (LPCSTR line1, LPCSTR line2, LPCSTR line3, LPCSTR line4))                             \
    X(SetTail, LONG, (LPCSTR line1, LPCSTR line2, LPCSTR line3, LPCSTR line4))                               \
    X(GetErrorMessageNo, LPSTR, (LPSTR buffer, LONG code))                                                   \
    X(SetParamDoc, LONG, (WORD word1, WORD word2, LONG extra))                                               \
    X(GetParamDoc, LONG, ())                                                                                 \
    X(SetPayment, LONG, (BYTE number, LPCSTR name, LONG a, LONG cash, LONG b, LONG c, LPCSTR d))             \
    X(GetFldStr, LPSTR, (BYTE field, LPSTR buffer))                                                          \
    X(SetDrawerParam, LONG, (LONG on, LONG off, LONG flags))                                                 \
    X(GetFldWord, WORD, (BYTE field))                                                                        \
    X(GetFldByte, BYTE, (BYTE field))                                                                        \
    X(GetEReport, LONG, (BYTE kind, BYTE type))                                                              \
    X(GetSerialNum, LONG, ())                                                                                \
    X(GetShiftState, LONG, (LONG * state, LONG * other))                                                     \
    X(CashDriverEnable, LONG, (LONG mode))                                                                   \
    X(GetCounters, LONG, ())                                                                                 \
    X(GetFldFloat, double, (BYTE field))                                                                     \
    X(CommentReceipt, LONG, (LPCSTR text))                                                                   \
    X(GetFiscalNums, LONG, ())                                                                               \
    X(SetTaxes, LONG, (BYTE group, BYTE flags, LPCSTR name, LPCSTR rate, LPCSTR second))                     \
    X(TaxReceipt, LONG, (BYTE group))                                                                        \
    X(ChangeOpName, LONG, (LPCSTR name))
