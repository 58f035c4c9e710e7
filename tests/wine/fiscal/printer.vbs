' Helpers of the fiscal end-to-end scripts: the virtual printer's state folder, and a device folder
' the equipment manager hands out.
Dim fso
Set fso = CreateObject("Scripting.FileSystemObject")

Function ReadAll(name)
  ReadAll = ""
  If fso.FileExists(name) Then
    If fso.GetFile(name).Size > 0 Then ReadAll = fso.OpenTextFile(name).ReadAll()
  End If
End Function

' A new printer on COM1 in the state folder emu, with the given config.json; returns its folder.
Function NewPrinter(emu, config)
  Dim port, stream
  If fso.FolderExists(emu) Then fso.DeleteFolder emu, True
  fso.CreateFolder emu
  port = fso.BuildPath(emu, "port-COM1")
  fso.CreateFolder port
  Set stream = fso.CreateTextFile(fso.BuildPath(port, "config.json"))
  stream.WriteLine config
  stream.Close
  NewPrinter = port
End Function

' An equipment manager whose devices folder is a new temporary folder holding device "1".
Function NewManager(ByRef root)
  Dim manager
  root = fso.BuildPath(fso.GetSpecialFolder(2), fso.GetTempName())
  fso.CreateFolder root
  fso.CreateFolder fso.BuildPath(root, "1")
  Set manager = CreateObject("Ovra.TestEquipmentManager")
  manager.SetAppProperty "DevicesFolder", root
  manager.SetAppProperty "Language", "ru"
  Set NewManager = manager
End Function
