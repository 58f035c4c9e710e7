// File attributes.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/Platform.h"

extern "C" PLATFORM_API DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
    if (!lpFileName || !*lpFileName) {
        SetLastError(!lpFileName ? ERROR_INVALID_PARAMETER : ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    struct stat st {};
    if (stat(lpFileName, &st) != 0) {
        switch (errno) {
        case ENOENT:
            // The file itself is missing only if the folder that should hold it exists.
            {
                const char* slash = std::strrchr(lpFileName, '/');
                bool folderMissing = false;
                if (slash && slash != lpFileName) {
                    std::string folder(lpFileName, slash);
                    struct stat parent {};
                    folderMissing = stat(folder.c_str(), &parent) != 0;
                }
                SetLastError(folderMissing ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND);
            }
            break;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            SetLastError(ERROR_PATH_NOT_FOUND);
            break;
        case EACCES:
            SetLastError(ERROR_ACCESS_DENIED);
            break;
        default:
            SetLastError(ERROR_FILE_NOT_FOUND);
            break;
        }
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!S_ISDIR(st.st_mode) && !(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)))
        attributes |= FILE_ATTRIBUTE_READONLY;
    const char* base = std::strrchr(lpFileName, '/');
    base = base ? base + 1 : lpFileName;
    if (base[0] == '.' && std::strcmp(base, ".") != 0 && std::strcmp(base, "..") != 0)
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    return attributes;
}
