' A day at the till end to end from VBScript, as a host drives the fiscal printer: open the shift,
' a sale with a discount paid by card and in cash, a return paid back in cash, a non-fiscal copy,
' X report, cash in and out, the counters, the last document, Z report; each answer and OutData
' array is checked, then the printer's journal of calls and its paper. Argument 0: the printer's
' state folder (the driver's library reads it from AZIMUTH_EMU_DIR).
Dim root, emu, port, manager, drv, text, outData, journal, paper, docNo, counters, byType
Dim goods, payments

' One goods row: name, code, price, quantity, discount text and amount, in the host's column order.
Sub SetGoods(row, name, code, price, quantity, discountText, discount)
  goods(0, row) = name
  goods(1, row) = ""
  goods(2, row) = code
  goods(3, row) = 1
  goods(4, row) = CCur(price)
  goods(5, row) = CDbl(quantity)
  goods(6, row) = discountText
  goods(7, row) = CCur(discount)
  goods(8, row) = CCur(0)
  goods(9, row) = CCur(0)
  goods(10, row) = 1
End Sub

Sub SetPayment(row, kind, amount, text)
  payments(0, row) = kind
  payments(1, row) = CCur(amount)
  payments(2, row) = text
End Sub

Function ReceiptParams(kind, fiscal, total)
  ReceiptParams = Array(kind, fiscal, 0, CCur(total), CCur(total), "", "", "", 0, 15, 128, Now, "IVANOVA")
End Function

emu = WScript.Arguments(0)
port = NewPrinter(emu, "{}")
Set manager = NewManager(root)
Set drv = CreateObject("Ovra.Orvel27")
text = ""
Check "Init", drv.Init(manager, text), True
Check "Open", drv.Open("1", text), True
Check "Enable", drv.Enable(Empty, outData, 0), True

Check "OpenDay", drv.OpenDay(Array(), outData, 0), True
Check "the first shift", outData(0), CLng(1)

' Script code running in the middle of a command: the driver reads the cashier's name from an
' object whose default property empties the very variable the driver is reading. The array is
' locked while the driver reads it, so the runtime only empties the variable and the command
' reads on from the array it was lent.
Class CashierName
  Public Default Property Get Value
    inData = Empty
    Value = "IVANOVA"
  End Property
End Class
Dim inData
inData = Array(New CashierName, "x")
Check "OpenDay with host code in InData", drv.OpenDay(inData, outData, 0), True
Check "the script's variable", IsEmpty(inData), True

' The sale: 2 x 45.50 and 89.90 less 9.90, paid 100 by card and 100 in cash, 29 back.
ReDim goods(10, 1)
SetGoods 0, "BREAD", "4600157", 45.5, 2, "", 0
SetGoods 1, "MILK", "4607001", 89.9, 1, "DISCOUNT", 9.9
ReDim payments(2, 1)
SetPayment 0, 1, 100, "CARD *1234"
SetPayment 1, 0, 100, ""
Check "PrintReceipt: a sale", drv.PrintReceipt(Array(goods, payments, ReceiptParams(0, True, 171)), outData, 0), True
Check "sale: four numbers and a time", UBound(outData), CLng(3)
Check "sale in the open shift", outData(0), CLng(1)
Check "the shift's first receipt", outData(1), CLng(1)
Check "sale's time", TypeName(outData(3)), "Date"

' The return of one loaf, paid back in cash from the drawer.
ReDim goods(10, 0)
SetGoods 0, "BREAD", "4600157", 45.5, 1, "", 0
ReDim payments(2, 0)
SetPayment 0, 0, 45.5, ""
Check "PrintReceipt: a return", drv.PrintReceipt(Array(goods, payments, ReceiptParams(1, True, 45.5)), outData, 0), True
Check "the shift's second receipt", outData(1), CLng(2)

' A copy of the sale, laid out by the driver and printed as a text document.
ReDim goods(10, 0)
SetGoods 0, "BREAD", "4600157", 45.5, 2, "", 0
ReDim payments(2, 0)
SetPayment 0, 0, 100, ""
Check "PrintReceipt: a non-fiscal copy", drv.PrintReceipt(Array(goods, payments, ReceiptParams(0, False, 91)), outData, 0), True
Check "copy: the document result", UBound(outData), CLng(3)

Check "PrintXReport", drv.PrintXReport(Empty, outData, 0), True
Check "X report: four numbers and a time", UBound(outData), CLng(3)
Check "X report in the open shift", outData(0), CLng(1)
Check "X report's document number", TypeName(outData(2)), "Long"
Check "X report's time", TypeName(outData(3)), "Date"
docNo = outData(2)

Check "Encash in", drv.Encash(Array(1, CCur(500)), outData, 0), True
Check "cash in is the next document", outData(2), docNo + 1
Check "Encash out with a negative amount", drv.Encash(Array(0, CCur(-120.5)), outData, 0), True
Check "cash out is the one after", outData(2), docNo + 2
Check "more than the drawer holds", drv.Encash(Array(0, 100000), outData, 0), False
Check "is the printer's refusal", outData(0), CLng(1001)
Check "an amount as text", drv.Encash(Array(1, "100"), outData, 0), False
Check "is refused as input", outData(0), CLng(1004)

Check "GetCountersInfo", drv.GetCountersInfo(Empty, outData, 0), True
counters = outData(0)
byType = outData(1)
Check "twenty counters", UBound(counters), CLng(19)
Check "cash in of the shift", counters(17), CDbl(500)
Check "cash in the drawer", counters(18), CDbl(405)
Check "cash out of the shift", counters(19), CDbl(120.5)
Check "sales", counters(5), CDbl(171)
Check "returns", counters(6), CDbl(45.5)
Check "sales less returns", counters(0), CDbl(125.5)
Check "sales and returns", counters(1), CDbl(216.5)
Check "sale receipts: the copy is not one", counters(3), CLng(1)
Check "return receipts", counters(4), CLng(1)
Check "cash-in documents", counters(16), CLng(1)
Check "cash-out documents", counters(15), CLng(1)
Check "not reported", counters(2), CLng(-1)
Check "five rows by payment type", UBound(byType, 1), CLng(4)
Check "for six types", UBound(byType, 2), CLng(5)
Check "type number", byType(0, 1), CLng(1)
Check "type name", byType(1, 0), Ansi("205 224 235 232 247 237 251 236 232") ' Наличными
Check "cash sales net of change", byType(3, 0), CCur(71)
Check "card sales", byType(3, 1), CCur(100)
Check "cash returns", byType(4, 0), CCur(45.5)
Check "no returns to a card", byType(4, 1), CCur(0)

Check "GetLastDocInfo", drv.GetLastDocInfo(Empty, outData, 0), True
Check "six elements", UBound(outData), CLng(5)
Check "the cash-out document", outData(2), docNo + 2
Check "kind not reported", outData(4), CLng(0)
Check "amount not reported", outData(5), CCur(0)

Check "PrintZReport", drv.PrintZReport(Empty, outData, 0), True
Check "Number1 is the next shift", outData(0), CLng(2)
Check "Z report's document number", outData(2), docNo + 3
Check "GetFPStateInfo", drv.GetFPStateInfo(Empty, outData, 0), True
Check "the shift is closed", outData(5), CLng(1)
Check "a second Z report", drv.PrintZReport(Empty, outData, 0), False
Check "is refused by the printer", outData(0), CLng(1001)
Check "GetDateTime is not supported", drv.GetDateTime(Empty, outData, 0), False
Check "with 1003", outData(0), CLng(1003)

Check "Disable", drv.Disable(Empty, outData, 0), True
Check "Close", drv.Close(), True
Set drv = Nothing
Set manager = Nothing

journal = ReadAll(fso.BuildPath(port, "journal.jsonl"))
Check "the discount", InStr(journal, "{""args"":[1,0,990,""DISCOUNT""],""fn"":""ComissionReceiptPlus"",""rc"":0") > 0, True
Check "the card payment", InStr(journal, "{""args"":[1,10000,""CARD *1234""],""fn"":""TenderReceipt"",""rc"":0") > 0, True
Check "paid, with the count of payments above the status bits", InStr(journal, "{""args"":[2],""fn"":""GetFldByte"",""rc"":21,") > 0, True
Check "the return", InStr(journal, "{""args"":[2,1,"""","""",""""],""fn"":""StartReceipt"",""rc"":0") > 0, True
Check "X report on the long time-out", InStr(journal, "{""args"":[20000,20000],""fn"":""SetCommTimeoutMs""") > 0, True
Check "cash in in kopecks", InStr(journal, "{""args"":[50000],""fn"":""ToCash"",""rc"":0") > 0, True
Check "cash out of the absolute amount", InStr(journal, "{""args"":[12050],""fn"":""FromCash"",""rc"":0") > 0, True
Check "totals by every payment type", InStr(journal, "{""args"":[54,5],""fn"":""GetEReport"",""rc"":0") > 0, True
Check "shift closed", InStr(journal, "{""args"":[],""fn"":""ShiftClose"",""rc"":0") > 0, True
Check "document parameters left alone", InStr(journal, """fn"":""SetParamDoc""") = 0, True

paper = ReadAll(fso.BuildPath(port, "paper.txt"))
Check "the sale was printed", InStr(paper, "=171.00") > 0, True
Check "with the change", InStr(paper, "=29.00") > 0, True
Check "the copy was printed with the host's document number", InStr(paper, "00128") > 0, True
Check "and its amounts laid out by the driver", InStr(paper, "91,00") > 0, True
Check "the X report was printed", InStr(paper, "X-") > 0, True
Check "the Z report was printed", InStr(paper, "Z-") > 0, True
Check "with the cash in", InStr(InStr(paper, "Z-"), paper, "=500.00") > 0, True
Check "and the cash out", InStr(InStr(paper, "Z-"), paper, "=120.50") > 0, True

fso.DeleteFolder root, True
Summary
