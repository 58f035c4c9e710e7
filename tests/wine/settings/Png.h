// A screenshot of a window written as a PNG file (stored deflate blocks: no compression library).
#pragma once

#include <windows.h>

#include <string>

bool SaveWindowPng(HWND Window, const std::wstring& Path);
