// Message boxes, the hourglass and the administrators check.
#include "settings/win32/Win32SettingsUI.h"

#include "settings/win32/Win32Dialog.h"

#include <vector>

namespace {

const char ErrorCaption[] = "Ошибка";
const char InfoCaption[] = "Информация";
const char ConfirmCaption[] = "Подтверждение";

// Whether the token lists the local administrators' group, whatever the group's attributes.
bool TokenHasAdministrators(HANDLE token) {
    DWORD size = 0;
    GetTokenInformation(token, TokenGroups, nullptr, 0, &size);
    if (size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token, TokenGroups, buffer.data(), size, &size))
        return false;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  &administrators))
        return false;
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    bool found = false;
    for (DWORD i = 0; i < groups->GroupCount && !found; ++i)
        found = EqualSid(groups->Groups[i].Sid, administrators) != FALSE;
    FreeSid(administrators);
    return found;
}

} // namespace

void TWin32SettingsUI::ShowError(const WString& Text) {
    MessageBoxW(Owner, Text.c_str(), T(ErrorCaption).c_str(), MB_OK | MB_ICONERROR);
}

void TWin32SettingsUI::ShowInfo(const WString& Text) {
    MessageBoxW(Owner, Text.c_str(), T(InfoCaption).c_str(), MB_OK | MB_ICONINFORMATION);
}

bool TWin32SettingsUI::Confirm(const WString& Question) {
    return MessageBoxW(Owner, Question.c_str(), T(ConfirmCaption).c_str(), MB_YESNO | MB_ICONWARNING) == IDYES;
}

void TWin32SettingsUI::SetWaitCursor(bool Wait) {
    FWaitDepth += Wait ? 1 : -1;
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(FWaitDepth > 0 ? 32514 : 32512)));
}

bool TWin32SettingsUI::UserIsAdministrator() {
    HANDLE token = nullptr;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token) &&
        !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    const bool admin = TokenHasAdministrators(token);
    CloseHandle(token);
    return admin;
}
