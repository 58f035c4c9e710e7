// A screenshot of a window written as a PNG file (stored deflate blocks: no compression library).
#pragma once

#include <windows.h>

#include <string>

// OneColour: whether every pixel has the colour of the first (a picture that shows nothing).
bool SaveWindowPng(HWND Window, const std::wstring& Path, bool& OneColour);
// Any part of the screen, for windows over one another.
bool SaveScreenPng(const RECT& Area, const std::wstring& Path, bool& OneColour);
