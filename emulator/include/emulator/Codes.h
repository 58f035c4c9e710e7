// Result codes of the virtual printer library and their Russian texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace azimuth {

// 0 is success. 7, 12, 13, 21 and 194 are read by the driver itself and must keep their meaning.
enum Code : std::int32_t {
    kOk = 0,
    kNotSupported = 1,        // an entry point this model does not implement
    kBadArgument = 2,         // null pointer, unknown kind, value out of range
    kNotConnected = 3,        // no OpenDLLPlus yet, or after CloseDLL
    kWrongPassword = 4,
    kNoPrinter = 5,           // the port has no printer (or is not a port name)
    kBadCharacter = 6,        // a NUL inside the text of a document
    kSessionRequired = 7,     // the document parameters require StartSeans first
    kShiftClosed = 8,
    kShiftMustBeClosed = 9,
    kShiftExpired = 10,       // open longer than 24 hours: only a Z report helps
    kTaxRateNotSet = 12,
    kDocumentOpen = 13,
    kNoDocument = 14,
    kWrongDocumentState = 15, // the open document does not accept this command now
    kReceiptNotPaid = 16,     // closing a receipt the payments do not cover
    kNonCashOverpay = 17,
    kNotEnoughCash = 18,
    kOverflow = 19,
    kAdjustmentTooLarge = 20,
    kAlreadyDone = 21,        // shift already open, session already started
    kEmptyReceipt = 22,
    kPaperOut = 23,
    kStorageFailed = 24,      // the printer's memory could not be written: nothing changed
    kDamagedState = 25,       // a state file of the port cannot be read
    kInternal = 26,
    kNoAnswer = 194,
};

// UTF-8 text of a code; codes outside the table get a generic text.
std::string CodeText(std::int32_t code);

// Every code the library can return, in ascending order (for documentation and tests).
std::vector<std::int32_t> AllCodes();

} // namespace azimuth
