' The driver module as the host platform uses it: created by ProgID, commands called with
' variables by reference, array arguments and a CInt timeout, OutData and the Boolean result
' read back; raw methods, failures and the settings exchange.
Dim d, d2, ok, outData, v, info, s, t, errNumber, errText, errSource

Set d = CreateObject("Ovra.Orvel27")
Check "created by ProgID", TypeName(d), "Object"
Set d2 = CreateObject("Ovra.Orvel27")
Check "every creation is a new object", d Is d2, False

' A command: InData array, OutData variable, CInt timeout.
outData = "stale"
ok = d.Mirror(Array(1, "x", CCur("2,5")), outData, CInt(10))
Check "command answers True", ok, True
Check "OutData receives an array", IsArray(outData), True
If IsArray(outData) Then
  Check "OutData bounds", LBound(outData) & ".." & UBound(outData), "0..2"
  Check "OutData number", outData(0), 1
  Check "OutData text", outData(1), "x"
  Check "OutData currency", outData(2), CCur("2,5")
End If
ok = d.MIRROR("one", outData, 0)
Check "names are case-insensitive", outData, "one"

' A failing command: False, and OutData holds [code, text].
ok = d.Fail(Array(1004), outData, 0)
Check "failure answers False", ok, False
Check "failure code", outData(0), CLng(1004)
' The script host here cannot build Cyrillic text (ChrW stops the script), so the standard
' message is checked by its length; the C++ host compares texts exactly.
Check "standard message", Len(outData(1)), CLng(33)
ok = d.Fail(Array(3001, "own text"), outData, 0)
Check "handler's own text wins", outData(1), "own text"
ok = d.Throw("broken", outData, 0)
Check "handler exception answers False", ok, False
Check "handler exception code", outData(0), CLng(1001)
Check "handler exception text", outData(1), "broken"

' A timeout that is not an integer is refused by the object.
On Error Resume Next
outData = "kept"
ok = d.Mirror(Array(1), outData, "100")
errNumber = Err.Number
Err.Clear
On Error GoTo 0
Check "text timeout refused", errNumber <> 0, True
Check "refused call leaves OutData alone", outData, "kept"

' Raw methods: results and out-arguments by reference.
Check "raw method result", d.Echo(42), CLng(42)
ok = d.Assign(Array("a", 2), v)
Check "raw method writes the variable", IsArray(v), True
If IsArray(v) Then Check "array written whole", v(0) & v(1), "a2"

On Error Resume Next
d.Raise "boom"
errNumber = Err.Number : errText = Err.Description : errSource = Err.Source
Err.Clear
On Error GoTo 0
Check "raw method failure code", errNumber, CLng(1001)
Check "raw method failure text", errText, "boom"
Check "raw method failure source", errSource, "EDriverError"

' Settings exchange: the array of GetSettings handed back to SetSettings.
ok = d.GetSettings(Empty, s, 0)
Check "GetSettings answers True", ok, True
t = s(0)
Check "settings table rows", UBound(t, 1), CLng(6)
Check "settings table has columns", UBound(t, 2) >= 1, True
Check "first parameter", t(0, 0), "DefaultTimeOut"
Check "its type", t(2, 0), "Number"
t(1, 0) = 7000
ok = d.SetSettings(Array(t), outData, 0)
Check "SetSettings answers True", ok, True
ok = d.GetSettings(Empty, s, 0)
t = s(0)
Check "value changed", t(1, 0), 7000
ok = d.SetSettings("plain", outData, 0)
Check "SetSettings refuses a plain string", ok, False
Check "with 1004", outData(0), CLng(1004)

ok = d.GetDeviceInfo(Empty, info, 0)
Check "device info length", UBound(info), CLng(14)
Check "ProgID in device info", info(6), "Ovra.Orvel27"
Check "version from the module", d.Version(), info(3) & "." & info(4) & "." & info(5)

' Tracing into a folder of our own.
Dim fso, folder, logName, text, stream
Set fso = CreateObject("Scripting.FileSystemObject")
folder = fso.GetSpecialFolder(2) & "\orvel27-framework-e2e"
If fso.FolderExists(folder) Then fso.DeleteFolder folder, True
fso.CreateFolder folder
d.Trace folder, True
ok = d.Mirror(Array(1, "x"), outData, 0)
d.Trace "", False
logName = folder & "\Debug_" & Year(Now) & "." & Right("0" & Month(Now), 2) & "." & Right("0" & Day(Now), 2) & ".log"
Check "log file written", fso.FileExists(logName), True
If fso.FileExists(logName) Then
  Set stream = fso.OpenTextFile(logName, 1)
  text = stream.ReadAll
  stream.Close
  Check "entry line", InStr(text, "> Mirror: " & vbTab & "InData: [(1; 'x')]") > 0, True
  Check "exit line", InStr(text, "< Mirror: " & vbTab & "Result=True; OutData: [(1; 'x')]") > 0, True
End If
fso.DeleteFolder folder, True

Set d = Nothing
Set d2 = Nothing
Summary
