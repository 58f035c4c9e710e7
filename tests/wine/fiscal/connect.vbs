' The fiscal printer driver end to end from VBScript, as a host's equipment manager drives it:
' Init, Open, Enable, GetFPStateInfo, input of the wrong shape, OpenDay, Disable, Close against
' the virtual printer, whose journal of calls and paper are read afterwards. Argument 0: the
' printer's state folder (the driver's library reads it from AZIMUTH_EMU_DIR).
Dim root, emu, port, manager, drv, text, outData, journal, paper
Dim NotReady
NotReady = Ansi("206 225 238 240 243 228 238 226 224 237 232 229 32 237 229 32 227 238 242 238 226 238") ' Оборудование не готово

emu = WScript.Arguments(0)
' A printer that prints a slip when a shift opens.
port = NewPrinter(emu, "{""paramDoc2"": 2048}")
Set manager = NewManager(root)
Set drv = CreateObject("Ovra.Orvel27")

text = ""
Check "Init", drv.Init(manager, text), True
Check "Open loads the printer's library", drv.Open("1", text), True

' The event log on: the failures below each leave a line in the device's folder.
Dim settings0
Check "GetSettings for the event log", drv.GetSettings(Empty, outData, 0), True
settings0 = outData(0)
Check "the second setting", settings0(0, 1), "EventLogEnabled"
settings0(1, 1) = True
Check "EventLogEnabled on", drv.SetSettings(Array(settings0), outData, 0), True
Check "state before Enable is refused", drv.GetFPStateInfo(Empty, outData, 0), False
Check "with 1008", outData(0), CLng(1008)
Check "and its text", outData(1), NotReady

Check "Enable connects", drv.Enable(Empty, outData, 0), True
Check "GetFPStateInfo", drv.GetFPStateInfo(Empty, outData, 0), True
Check "ten states", UBound(outData), CLng(9)
Check "unreported states are -1", outData(0), CLng(-1)
Check "the shift is closed", outData(5), CLng(1)

' Arrays of the wrong shape are refused, not read past their indices.
Dim flat(1, 0), settings
flat(0, 0) = 3
Check "PrintExtReport with a two-dimensional InData", drv.PrintExtReport(flat, outData, 0), False
Check "is wrong input", outData(0), CLng(1004)
Check "GetSettings", drv.GetSettings(Empty, outData, 0), True
settings = outData(0)
Check "SetSettings with the table itself instead of [table]", drv.SetSettings(settings, outData, 0), False
Check "fails the command", outData(0), CLng(1001)

Check "OpenDay", drv.OpenDay(Array(), outData, 0), True
Check "document result has four elements", UBound(outData), CLng(3)
Check "first number is the new shift", outData(0), CLng(1)
Check "the document's time", TypeName(outData(3)), "Date"
Check "GetFPStateInfo again", drv.GetFPStateInfo(Empty, outData, 0), True
Check "the shift is open", outData(5), CLng(0)

Check "Disable", drv.Disable(Empty, outData, 0), True
Check "Close", drv.Close(), True
Set drv = Nothing
Set manager = Nothing

journal = ReadAll(fso.BuildPath(port, "journal.jsonl"))
Check "connect with password, port and speed as texts", InStr(journal, """QWTZ"",""COM1"",""19200"",0],""fn"":""OpenDLLPlus"",""rc"":0") > 0, True
Check "session started", InStr(journal, "{""args"":[],""fn"":""StartSeans"",""rc"":0") > 0, True
Check "time-out set", InStr(journal, "{""args"":[7000,7000],""fn"":""SetCommTimeoutMs""") > 0, True
Check "shift opened", InStr(journal, "{""args"":[""""],""fn"":""ShiftOpen"",""rc"":0") > 0, True
Check "shift state asked", InStr(journal, """fn"":""GetShiftState""") > 0, True
Check "disconnected at Disable", InStr(InStr(journal, "ShiftOpen") + 1, journal, """fn"":""CloseDLL""") > 0, True

paper = ReadAll(fso.BuildPath(port, "paper.txt"))
Check "the opening slip was printed", Len(paper) > 0, True
Check "with the printer's serial number", InStr(paper, "27000001") > 0, True
Check "and the shift's number", InStr(paper, "                                  1") > 0, True

' One line per failed command, with its code, in Events_yyyy.mm.dd.log beside the debug log.
Dim events, file
events = ""
For Each file In fso.GetFolder(fso.BuildPath(root, "1")).Files
  If Left(file.Name, 7) = "Events_" Then events = events & ReadAll(file.Path)
Next
Check "three failures in the event log", UBound(Split(events, vbCrLf)), CLng(3)
Check "the refused state query", InStr(events, "GetFPStateInfo " & Ansi("237 229 32 226 251 239 238 235 237 229 237 224 58 32") & NotReady) > 0, True
Check "with its code", InStr(events, vbTab & Ansi("234 238 228 32") & "1008" & vbCrLf) > 0, True
Check "the input of the wrong shape", InStr(events, "PrintExtReport") > 0 And InStr(events, "1004") > 0, True
Check "the settings table of the wrong shape", InStr(events, "SetSettings") > 0 And InStr(events, "1001") > 0, True
Check "no password in it", InStr(events, "QWTZ"), CLng(0)

fso.DeleteFolder root, True
Summary
