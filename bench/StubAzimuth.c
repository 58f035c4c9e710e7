/* A printer library whose every entry point answers at once: success, a paid receipt, an open
   shift, empty texts. The benchmarks measure the driver's own time through it. */
#define EXPORT __attribute__((visibility("default")))

EXPORT int GetLastDllError(void) { return 0; }
EXPORT char* GetErrorMessage(char* buffer) { buffer[0] = 0; return buffer; }
EXPORT int CancelReceipt(void) { return 0; }
EXPORT int SetHeaderNew(void) { return 0; }
EXPORT int StartReceipt(void) { return 0; }
EXPORT int OpenFDoc(void) { return 0; }
EXPORT int PrintOEMDoc(void) { return 0; }
EXPORT int ItemReceipt(void) { return 0; }
EXPORT int ItemReceiptPlus(void) { return 0; }
EXPORT int ComissionReceiptPlus(void) { return 0; }
EXPORT int TenderReceipt(void) { return 0; }
EXPORT int TenderReceiptPlus(void) { return 0; }
EXPORT int TotalReceipt(void) { return 0; }
EXPORT int TotalReceiptPlus(void) { return 0; }
EXPORT int CloseReceipt(void) { return 0; }
EXPORT int CashDriverOpen(void) { return 0; }
EXPORT int FromCash(void) { return 0; }
EXPORT int ToCash(void) { return 0; }
EXPORT int ShiftOpen(void) { return 0; }
EXPORT int ShiftClose(void) { return 0; }
EXPORT int XReport(void) { return 0; }
EXPORT int OpenDLL(void) { return 0; }
EXPORT int OpenDLLPlus(void) { return 0; }
EXPORT int CloseDLL(void) { return 0; }
EXPORT int ChangeBaudrate(void) { return 0; }
EXPORT int StartSeans(void) { return 0; }
EXPORT int CloseFDoc(void) { return 0; }
EXPORT int CloseFDocEx(void) { return 0; }
EXPORT int GetStatusPlus(void) { return 0; }
EXPORT int GetStatusNum(void) { return 0; }
EXPORT int WriteComm(const char* bytes, int length) { (void)bytes; return length; }
EXPORT int SubTotalReceipt(void) { return 0; }
EXPORT int SetCommTimeoutMs(void) { return 0; }
EXPORT int GetResource(void) { return 0; }
EXPORT int GetAnswer(void) { return 0; }
EXPORT int GetNumbers(void) { return 0; }
EXPORT int GetMony(void) { return 0; }
EXPORT int GetDate(void) { return 0; }
EXPORT int SetDate(void) { return 0; }
EXPORT int SetHeader(void) { return 0; }
EXPORT int SetTail(void) { return 0; }
EXPORT char* GetErrorMessageNo(char* buffer, int code) { (void)code; buffer[0] = 0; return buffer; }
EXPORT int GetFiscalInfo(void) { return 0; }
EXPORT int DllComWrite(const char* bytes, int length) { (void)bytes; return length; }
EXPORT int SetParamDoc(void) { return 0; }
EXPORT int GetParamDoc(void) { return 0; }
EXPORT int AddDept(void) { return 0; }
EXPORT int SetDept(void) { return 0; }
EXPORT int GetDept(void) { return 0; }
EXPORT int CloseDept(void) { return 0; }
EXPORT int AddArt(void) { return 0; }
EXPORT int SetArt(void) { return 0; }
EXPORT int GetArt(void) { return 0; }
EXPORT int CloseArt(void) { return 0; }
EXPORT int ItemDepReceipt(void) { return 0; }
EXPORT int ItemDepReceiptPlus(void) { return 0; }
EXPORT int ItemDepReceiptEx(void) { return 0; }
EXPORT int SetPayment(void) { return 0; }
EXPORT char* GetFldStr(unsigned char field, char* buffer) { (void)field; buffer[0] = 0; return buffer; }
EXPORT int GetLastDoc(void) { return 0; }
EXPORT int GetLastKPK(void) { return 0; }
EXPORT int EKLEJournalTotal(void) { return 0; }
EXPORT int EKLKPKReport(void) { return 0; }
EXPORT int EKLEJournalReport(void) { return 0; }
EXPORT int EKLShiftsNumReport(void) { return 0; }
EXPORT int EKLShiftsDateReport(void) { return 0; }
EXPORT int GetNumReport(void) { return 0; }
EXPORT int GetDateReport(void) { return 0; }
EXPORT int EJPrint(void) { return 0; }
EXPORT int EJPrintEx(void) { return 0; }
EXPORT int EJNoDoc(void) { return 0; }
EXPORT int EJNoReport(void) { return 0; }
EXPORT int EJTimeReport(void) { return 0; }
EXPORT int EJDateTimeReport(void) { return 0; }
EXPORT int SetDrawerParam(void) { return 0; }
EXPORT unsigned short GetFldWord(unsigned char field) { (void)field; return 0; }
EXPORT unsigned char GetFldByte(unsigned char field) { (void)field; return 5; } /* paid */
EXPORT int CloseFDocPlus(void) { return 0; }
EXPORT int FontSelectFDoc(void) { return 0; }
EXPORT int GetEReport(void) { return 0; }
EXPORT int GetPayment(void) { return 0; }
EXPORT int GetSerialNum(void) { return 0; }
EXPORT int PrintBarcodeFDoc(void) { return 0; }
EXPORT int BarcodeReceipt(void) { return 0; }
EXPORT int ClearAllDept(void) { return 0; }
EXPORT int GetShiftState(int* state, int* other) { *state = 2; *other = 0; return 0; } /* open */
EXPORT int OpenFiscalDoc(void) { return 0; }
EXPORT int AddPosField(void) { return 0; }
EXPORT int AddFreeField(void) { return 0; }
EXPORT int PrintFiscalSlip(void) { return 0; }
EXPORT int CloseFreeDoc(void) { return 0; }
EXPORT int OpenFiscalDocPlus(void) { return 0; }
EXPORT int AddPosFieldPlus(void) { return 0; }
EXPORT int AddFreeFieldPlus(void) { return 0; }
EXPORT int AddPayFieldPlus(void) { return 0; }
EXPORT int AddSubDepFieldPlus(void) { return 0; }
EXPORT int PrintFiscalSlipPlus(void) { return 0; }
EXPORT int CloseFreeDocPlus(void) { return 0; }
EXPORT int SlipSelectFDoc(void) { return 0; }
EXPORT int SlipEjectFDoc(void) { return 0; }
EXPORT int CashDriverEnable(void) { return 0; }
EXPORT int GetCounters(void) { return 0; }
EXPORT int GetFldInt(void) { return 0; }
EXPORT double GetFldFloat(unsigned char field) { (void)field; return 0; }
EXPORT int CommentReceipt(void) { return 0; }
EXPORT int GetDllVer(void) { return 0; }
EXPORT int GetFiscalNums(void) { return 0; }
EXPORT int SetTaxes(void) { return 0; }
EXPORT int TaxReceipt(void) { return 0; }
EXPORT int GetTaxes(void) { return 0; }
EXPORT int ChangeOpName(void) { return 0; }
