' Templates end to end from VBScript: upload a template table built as VBScript arrays, download
' it back unchanged, print it with a parameter table on the virtual printer and read the paper;
' then the built-in template (number 0), read from the driver's XML resource. Argument 0: the
' printer's state folder (the driver's library reads it from AZIMUTH_EMU_DIR).
Dim fso, emu, port, manager, drv, text, outData, paper, root

Function ReadAll(name)
  ReadAll = ""
  If fso.FileExists(name) Then
    If fso.GetFile(name).Size > 0 Then ReadAll = fso.OpenTextFile(name).ReadAll()
  End If
End Function

' One level of a template: attrs x items, filled from a flat list item by item.
Function Table(attrs, values)
  Dim t, n, i, a
  n = (UBound(values) + 1) \ attrs
  ReDim t(attrs - 1, n - 1)
  For i = 0 To n - 1
    For a = 0 To attrs - 1
      t(a, i) = values(i * attrs + a)
    Next
  Next
  Table = t
End Function

' Field: Name, Fixed, Predefined, Type, Format, IsParameter, Prefix, Postfix, Value
Function Field(name, kind, format, prefix, value)
  Field = Array(name, False, False, kind, format, True, prefix, "", value)
End Function
' Composite field: Fixed, Resizable, Length, HorizontalAlign, VerticalAlign, TextPlacement, Size,
' Bold, Italic, Underline, Inversion, Fields
Function Column(resizable, length, align, fields)
  Column = Array(False, resizable, length, align, 0, 0, 0, False, False, False, False, fields)
End Function

Function Join2(a, b)
  Dim r, i
  ReDim r(UBound(a) + UBound(b) + 1)
  For i = 0 To UBound(a)
    r(i) = a(i)
  Next
  For i = 0 To UBound(b)
    r(UBound(a) + 1 + i) = b(i)
  Next
  Join2 = r
End Function

' Compares two values, arrays element by element in both dimensions.
Function Same(x, y)
  Dim i, j
  Same = False
  If IsArray(x) <> IsArray(y) Then Exit Function
  If Not IsArray(x) Then
    If TypeName(x) <> TypeName(y) Then Exit Function
    Same = (x = y)
    Exit Function
  End If
  If UBound(x, 1) <> UBound(y, 1) Or UBound(x, 2) <> UBound(y, 2) Then Exit Function
  For i = 0 To UBound(x, 1)
    For j = 0 To UBound(x, 2)
      If Not Same(x(i, j), y(i, j)) Then Exit Function
    Next
  Next
  Same = True
End Function

Dim itemField, sumField, columns, blocks, sections, params, values1, values2
itemField = Table(9, Field("Item", 0, "", "", ""))
sumField = Table(9, Field("Sum", 1, "NFD=2", "=", 0))
columns = Table(12, Join2(Column(False, 8, 0, itemField), Column(True, 1, 1, sumField)))
blocks = Table(5, Array(False, 1, 2, columns, False))
sections = Table(4, Array("Goods", False, False, blocks))

' The paper is UTF-8: the printed names are Latin, the Cyrillic ones are the unit tests' business.
values1 = Table(2, Array("Item", "Rye bread", "Sum", 12.5))
values2 = Table(2, Array("Item", "Milk", "Sum", 3))
params = Table(2, Array("Goods", values1, "goods", values2))

Set fso = CreateObject("Scripting.FileSystemObject")
emu = WScript.Arguments(0)
If fso.FolderExists(emu) Then fso.DeleteFolder emu, True
fso.CreateFolder emu
port = fso.BuildPath(emu, "port-COM1")

root = fso.BuildPath(fso.GetSpecialFolder(2), fso.GetTempName())
fso.CreateFolder root
fso.CreateFolder fso.BuildPath(root, "1")
Set manager = CreateObject("Ovra.TestEquipmentManager")
manager.SetAppProperty "DevicesFolder", root
Set drv = CreateObject("Ovra.Orvel27")
text = ""
Check "Init", drv.Init(manager, text), True
Check "Open", drv.Open("1", text), True
Check "Enable", drv.Enable(Empty, outData, 0), True

Check "UploadTemplate", drv.UploadTemplate(Array(5, "Goods list", sections), outData, 0), True
Check "DownloadTemplate", drv.DownloadTemplate(Array(5), outData, 0), True
Check "the description comes back", outData(0), "Goods list"
Check "the template comes back unchanged", Same(outData(1), sections), True
Check "an unknown number is not found", drv.DownloadTemplate(Array(6), outData, 0), False
Check "with 3007", outData(0), CLng(3007)

Check "PrintTemplateDocument", drv.PrintTemplateDocument(Array(params, 5, 0), outData, 0), True
paper = ReadAll(fso.BuildPath(port, "paper.txt"))
' 40 columns: Item in 8, Sum right aligned in the 32 left over, the second row of the name below.
Check "first row", InStr(paper, "Rye brea" & Space(26) & "=12,50") > 0, True
Check "the wrapped name", InStr(paper, vbLf & "d" & Space(39)) > 0, True
Check "the second printing", InStr(paper, "Milk" & Space(31) & "=3,00") > 0, True

Check "the built-in template prints", drv.PrintTemplateDocument(Array(Table(2, Array("Header", Table(2, Array("Title", "SLIP")))), 0, 0), outData, 0), True
paper = ReadAll(fso.BuildPath(port, "paper.txt"))
Check "with its title centred", InStr(paper, Space(18) & "SLIP" & Space(18)) > 0, True
Check "DownloadTemplate 0", drv.DownloadTemplate(Array(0), outData, 0), True
Check "its table", IsArray(outData(1)), True

Check "Disable", drv.Disable(Empty, outData, 0), True
Check "Close", drv.Close(), True
Set drv = Nothing
Set manager = Nothing
fso.DeleteFolder root, True
Summary
