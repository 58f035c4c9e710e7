// HTML Help for the dialogs: the help file and its text popups, through the system's HTML Help
// control loaded when first needed. Where it shows no text popup, a window of our own does.
#pragma once

#include "settings/ufmCommonSettings.h"

#include <windows.h>

// Opens the help file at its default topic.
void OpenHelpFile(HWND Owner, const std::string& HelpFile);
// Shows a context popup: black text on light yellow, 5-pixel margins, at the popup's point.
void ShowHelpPopupWindow(HWND Owner, const THelpPopup& Popup);
