' After unregistration the ProgID must no longer create anything.
Dim demo, errNumber
On Error Resume Next
Set demo = CreateObject("Ovra.WineDemo")
errNumber = Err.Number
On Error GoTo 0
Check "CreateObject fails once unregistered", errNumber, CLng(429)
Summary
