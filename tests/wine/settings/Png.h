// A screenshot of a window written as a PNG file (stored deflate blocks: no compression library).
#pragma once

#include <windows.h>

#include <string>

// A bitmap of 32-bit pixels, top row first, at Bits.
HBITMAP CreatePixels(HDC Dc, int Width, int Height, void*& Bits);
// OneColour: whether every pixel has the colour of the first (a picture that shows nothing).
bool SaveWindowPng(HWND Window, const std::wstring& Path, bool& OneColour);
// Any part of the screen, for windows over one another.
bool SaveScreenPng(const RECT& Area, const std::wstring& Path, bool& OneColour);
