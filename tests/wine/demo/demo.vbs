' The demo object end to end from VBScript: created by ProgID, called by name; values,
' by-reference results and raised errors come back as a host sees them.
Dim demo, greeting, ok, errNumber, errText, errSource, privet
' "Privet" in Cyrillic, spelled in the ANSI code page 1251 (the script engine here has no ChrW):
' the object's UTF-16 text must come out as these characters.
privet = Chr(207) & Chr(240) & Chr(232) & Chr(226) & Chr(229) & Chr(242)
Set demo = CreateObject("Ovra.WineDemo")
Check "created by ProgID", TypeName(demo), "Object"

Check "Echo text", demo.Echo("abc"), "abc"
Check "Echo Cyrillic text", demo.Echo(privet), privet
Check "Echo number", demo.Echo(42), 42
Check "Echo currency", demo.Echo(CCur("12,34")), CCur("12,34")
Check "Echo date", demo.Echo(DateSerial(2023, 3, 15)), DateSerial(2023, 3, 15)
Check "names are case-insensitive", demo.eCHO("x"), "x"

Check "Add numbers", demo.Add(2, 3), CDbl(5)
' Text is read with the regional settings of a Russian installation: decimal comma.
Check "Add reads a decimal comma", demo.Add("1,5", 2), CDbl(3.5)
Check "decimal separator", CStr(1.5), "1,5"
Check "date and time format", CStr(DateSerial(2023, 3, 15) + TimeSerial(12, 0, 0)), "15.03.2023 12:00:00"

ok = demo.GetGreeting(greeting)
Check "GetGreeting answers True", ok, True
Check "GetGreeting fills the variable with an array", IsArray(greeting), True
If IsArray(greeting) Then
  Check "GetGreeting array bounds", LBound(greeting) & ".." & UBound(greeting), "0..1"
  Check "GetGreeting text", greeting(0), privet
  Check "GetGreeting number", greeting(1), CLng(27)
End If

On Error Resume Next
demo.Fail "boom"
errNumber = Err.Number : errText = Err.Description : errSource = Err.Source
Err.Clear
On Error GoTo 0
Check "Fail raises its code", errNumber, &H80040201
Check "Fail raises its text", errText, "boom"
Check "Fail names its source", errSource, "Ovra.WineDemo"

On Error Resume Next
demo.Add "abc", 1
errNumber = Err.Number
Err.Clear
demo.NoSuchMember 1
Check "an unknown name is refused", Err.Number, CLng(438)
Err.Clear
demo.Echo
Check "a wrong argument count is refused", Err.Number, CLng(450)
Err.Clear
On Error GoTo 0
Check "text that is no number is refused", errNumber, CLng(13)

Set demo = Nothing
Summary
