// The one include for the Win32 and OLE Automation API the driver is written against.
// On Windows: the system headers. Elsewhere: our own implementation of exactly the subset the
// driver uses, with the same names, type layouts and results.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <objbase.h>
#else
#include "linux/WinTypes.h"
#include "linux/Unknwn.h"
#include "linux/OleAuto.h"
#include "linux/WinNls.h"
#include "linux/WinBase.h"
#include "linux/LibLoaderApi.h"
#include "linux/WinReg.h"
#include "linux/ObjBase.h"
#include "linux/WinUser.h"
#endif

#include "PlatformExt.h"
