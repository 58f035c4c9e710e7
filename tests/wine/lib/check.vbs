' Checks for the end-to-end VBScript tests; cscript.sh --include puts this in front of a script.
' Each check prints one line; Summary prints the closing line that cscript.sh requires and sets
' the exit code. Ansi builds the Russian texts to compare with.
Dim checksPassed, checksFailed
checksPassed = 0
checksFailed = 0

Function Describe(value)
  If IsArray(value) Then
    Describe = "Array"
  ElseIf IsObject(value) Then
    Describe = TypeName(value)
  ElseIf IsNull(value) Or IsEmpty(value) Then
    Describe = TypeName(value)
  Else
    Describe = TypeName(value) & " '" & CStr(value) & "'"
  End If
End Function

' Passes when both have the same type and are equal: a number must not come back as text.
Sub Check(name, actual, expected)
  Dim same
  same = False
  If Not IsArray(actual) And Not IsObject(actual) And Not IsNull(actual) Then
    If TypeName(actual) = TypeName(expected) Then same = (actual = expected)
  End If
  If same Then
    checksPassed = checksPassed + 1
    WScript.Echo "ok   " & name
  Else
    checksFailed = checksFailed + 1
    WScript.Echo "FAIL " & name & ": got " & Describe(actual) & ", expected " & Describe(expected)
  End If
End Sub

Sub Summary()
  WScript.Echo "RESULT: " & checksPassed & " passed, " & checksFailed & " failed"
  If checksFailed > 0 Then WScript.Quit 1
  WScript.Quit 0
End Sub

' A text from its code page 1251 codes ("206 225"): the script host has no ChrW.
Function Ansi(codes)
  Dim c, s
  s = ""
  For Each c In Split(codes, " ")
    s = s & Chr(CInt(c))
  Next
  Ansi = s
End Function
