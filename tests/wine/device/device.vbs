' The driver's device base end to end from VBScript, as a host's equipment manager drives it:
' Init, Open, Enable, GetDeviceInfo, GetSettings/SetSettings, Disable, Close, and the debug log
' that Enable opens in the device's folder. Only what every driver on the device base shows is
' checked (no dialog is opened: nobody would close it). Argument 0: the expected version
' "major.minor.build".
Dim fso, root, manager, drv, other, text, ok, info, settings, table, outData, i, logName, logText
Dim errNumber, errText

Dim NoErrors, BadInput, NoManager
NoErrors = Ansi("205 229 242 32 238 248 232 225 238 234") ' Нет ошибок
BadInput = Ansi("206 248 232 225 234 224 32 226 245 238 228 237 251 245 32 239 224 240 224 236 229 242 240 238 226 32 234 238 236 224 237 228 251") ' Ошибка входных параметров команды
NoManager = Ansi("204 229 237 229 228 230 229 240 32 238 225 238 240 243 228 238 226 224 237 232 255 32 237 229 228 238 241 242 243 239 229 237") ' Менеджер оборудования недоступен

Function TwoDigits(n)
  TwoDigits = Right("0" & n, 2)
End Function

Set fso = CreateObject("Scripting.FileSystemObject")
root = fso.BuildPath(fso.GetSpecialFolder(2), fso.GetTempName())
fso.CreateFolder root
fso.CreateFolder fso.BuildPath(root, "7")

Set manager = CreateObject("Ovra.TestEquipmentManager")
manager.SetAppProperty "DevicesFolder", root
manager.SetAppProperty "Language", "ru"
Set drv = CreateObject("Ovra.Orvel27")
Check "driver created by ProgID", TypeName(drv), "Object"

' A device that was never given an equipment manager cannot find its folder.
Set other = CreateObject("Ovra.Orvel27")
text = ""
On Error Resume Next
other.Open "7", text
errNumber = Err.Number : errText = Err.Description
Err.Clear
On Error GoTo 0
Check "Open before Init fails", errNumber <> 0, True
Check "Open before Init says why", errText, NoManager
Check "Init refuses a text for the equipment manager", other.Init("manager", text), False
Check "Init says the input is wrong", text, BadInput
Set other = Nothing

text = ""
Check "Init", drv.Init(manager, text), True
Check "Init reports no errors", text, NoErrors
Check "Init asked for the model folder and the language", manager.QuestionCount(), CLng(2)
text = ""
Check "Open", drv.Open("7", text), True
Check "Open reports no errors", text, NoErrors
Check "Open asked with the device ID", manager.LastDeviceID(), "7"

ok = drv.GetDeviceInfo(Empty, info, 0)
Check "GetDeviceInfo", ok, True
Check "device info is an array", IsArray(info), True
If IsArray(info) Then
  Check "device info has 15 elements", UBound(info), CLng(14)
  Check "device kind is named", Len(info(0)) > 0, True
  Check "version from the module's version resource", info(3) & "." & info(4) & "." & info(5), WScript.Arguments(0)
  Check "ProgID", info(6), "Ovra.Orvel27"
  Check "info number", info(7), CLng(1)
  Check "settings dialog flag", TypeName(info(8)), "Boolean"
  Check "maker", info(10), "Kelvo"
End If

ok = drv.GetSettings(Empty, settings, 0)
Check "GetSettings", ok, True
table = settings(0)
Check "settings table has 7 rows", UBound(table, 1), CLng(6)
Check "first parameter", table(0, 0), "DefaultTimeOut"
Check "its default", table(3, 0), CLng(120)
Check "third parameter", table(0, 2), "DebugLogEnabled"
Check "debug log is off", table(1, 2), False
table(1, 2) = True
Check "SetSettings", drv.SetSettings(Array(table), outData, 0), True
ok = drv.GetSettings(Empty, settings, 0)
table = settings(0)
Check "the value was stored", table(1, 2), True

Check "Enable", drv.Enable(Empty, outData, 0), True
Check "CheckHealth", drv.CheckHealth(Empty, outData, 0), True
Check "Disable", drv.Disable(Empty, outData, 0), True
Check "Close", drv.Close(), True

logName = fso.BuildPath(fso.BuildPath(root, "7"), "Debug_" & Year(Date) & "." & TwoDigits(Month(Date)) & "." & TwoDigits(Day(Date)) & ".log")
Check "the debug log is in the device's folder", fso.FileExists(logName), True
If fso.FileExists(logName) Then
  logText = fso.OpenTextFile(logName).ReadAll()
  Check "the log opens with its header", InStr(logText, "============Begin debug log=============") > 0, True
  Check "the header names the device", InStr(logText, "device ID: " & vbTab & "7") > 0, True
  Check "the log shows the calls", InStr(logText, "> CheckHealth") > 0, True
End If

Set drv = Nothing
Set manager = Nothing
fso.DeleteFolder root, True
Summary
