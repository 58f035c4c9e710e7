// Resources of a module. A Linux module has no resource section: the data a Windows module keeps
// as resources is linked in as ordinary data and registered when the module is loaded
// (PlatformRegisterResource in PlatformExt.h); these calls find it by module, type, name and
// language as Windows finds a resource. Names and string types compare without regard to case.
#pragma once

#include "WinTypes.h"

struct HRSRC__;
using HRSRC = HRSRC__*;
using HGLOBAL = void*;

#ifndef MAKEINTRESOURCEA
#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)
#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))
#endif
#define RT_RCDATA MAKEINTRESOURCEA(10)
#define SUBLANG_NEUTRAL 0x00

// Any language of the name; the neutral language first.
WINBASEAPI HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType);
// Exactly the language given.
WINBASEAPI HRSRC WINAPI FindResourceExA(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD wLanguage);
WINBASEAPI HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo);
WINBASEAPI LPVOID WINAPI LockResource(HGLOBAL hResData);
WINBASEAPI DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo);
