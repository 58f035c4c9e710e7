// Everything the virtual printer prints by itself (UTF-8; converted when printed).
#pragma once

namespace azimuth::paper {

inline constexpr const char* kCut = "------------------ ✂ -------------------";
inline constexpr const char* kPrinter = "ККМ ";
inline constexpr const char* kTaxpayer = "ИНН ";
inline constexpr const char* kSale = "ПРОДАЖА";
inline constexpr const char* kReturn = "ВОЗВРАТ ПРОДАЖИ";
inline constexpr const char* kReceiptNo = "ЧЕК ";
inline constexpr const char* kCashier = "КАССИР ";
inline constexpr const char* kDocNo = "ДОК ";
inline constexpr const char* kShiftNo = "СМЕНА ";
inline constexpr const char* kTimes = " X ";
inline constexpr const char* kDiscount = "  СКИДКА";
inline constexpr const char* kMarkup = "  НАДБАВКА";
inline constexpr const char* kItemNet = "  СТОИМОСТЬ";
inline constexpr const char* kSubtotal = "ПОДЫТОГ";
inline constexpr const char* kTotal = "ИТОГ";
inline constexpr const char* kTaxIncluded = "  В Т.Ч. ";
inline constexpr const char* kChange = "СДАЧА";
inline constexpr const char* kCancelled = "ЧЕК АННУЛИРОВАН";
inline constexpr const char* kFiscalSign = "ФП";
inline constexpr const char* kRoubles = " РУБ";
inline constexpr const char* kShiftOpened = "ОТКРЫТИЕ СМЕНЫ";
inline constexpr const char* kXReport = "X-ОТЧЕТ";
inline constexpr const char* kZReport = "Z-ОТЧЕТ";
inline constexpr const char* kShiftClosed = "СМЕНА ЗАКРЫТА";
inline constexpr const char* kSales = "ПРОДАЖИ";
inline constexpr const char* kReturns = "ВОЗВРАТЫ";
inline constexpr const char* kDiscounts = "СКИДКИ";
inline constexpr const char* kMarkups = "НАДБАВКИ";
inline constexpr const char* kSaleReceipts = "ЧЕКОВ ПРОДАЖИ";
inline constexpr const char* kReturnReceipts = "ЧЕКОВ ВОЗВРАТА";
inline constexpr const char* kCancelledReceipts = "АННУЛИРОВАНО ЧЕКОВ";
inline constexpr const char* kCashIn = "ВНЕСЕНИЕ";
inline constexpr const char* kCashOut = "ВЫПЛАТА";
inline constexpr const char* kInDrawer = "НАЛИЧНОСТЬ В КАССЕ";
inline constexpr const char* kGrandSales = "НАРАСТАЮЩИЙ ИТОГ ПРОДАЖ";
inline constexpr const char* kGrandReturns = "НАРАСТАЮЩИЙ ИТОГ ВОЗВРАТОВ";
inline constexpr const char* kResources = "РЕСУРСЫ ФП";
inline constexpr const char* kFreeShifts = "СВОБОДНО ЗАПИСЕЙ СМЕН";
inline constexpr const char* kPaymentPrefix = "  ";
inline constexpr const char* kTaxPrefix = "  НАЛОГ ";

} // namespace azimuth::paper
