' The packaged driver as the script host finds it once register.cmd has run: created by its
' ProgID, it reports the package's version. Argument 0: that version, major.minor.build.
Dim drv, outData
Set drv = CreateObject("Ovra.Orvel27")
Check "GetDeviceInfo", drv.GetDeviceInfo(Empty, outData, 0), True
Check "the version is the package's", outData(3) & "." & outData(4) & "." & outData(5), WScript.Arguments(0)
Set drv = Nothing
Summary
