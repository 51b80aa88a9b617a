#include "settings_file.h"

#include <cstring>

#include "../open_file.h"

size_t SettingsText(const char* bytes, size_t size, WCHAR (&text)[SETTINGS_READ_MAX])
{
    if (size >= 2 && std::memcmp(bytes, "\xFF\xFE", 2) == 0) {
        size_t units = (size - 2) / 2;
        std::memcpy(text, bytes + 2, units * sizeof(WCHAR));
        return units;
    }
    UINT codePage = CP_ACP;
    if (size >= 3 && std::memcmp(bytes, "\xEF\xBB\xBF", 3) == 0) {
        codePage = CP_UTF8;
        bytes += 3;
        size -= 3;
    }
    if (size == 0)
        return 0;
    int n = MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(size), text, static_cast<int>(SETTINGS_READ_MAX));
    return n > 0 ? static_cast<size_t>(n) : 0;
}

SettingsFile ReadSettingsFile(const WCHAR* path, WCHAR (&text)[SETTINGS_READ_MAX], size_t& length, DWORD& error)
{
    length = 0;
    error = 0;
    // Read here rather than through the profile functions, which cost Wine near half a millisecond a
    // value even for a file this small.
    HANDLE file = OpenToRead(path);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        // A name too long for the system names no file either.
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_FILENAME_EXCED_RANGE
                   ? SettingsFile::Missing
                   : SettingsFile::Unreadable;
    }
    alignas(WCHAR) char bytes[SETTINGS_READ_MAX];
    DWORD got = 0;
    {
        FileCloser closer{file};
        // A disk file gives all that is asked in one read, but at its end.
        if (!ReadFile(file, bytes, sizeof bytes, &got, nullptr)) {
            error = GetLastError();
            return SettingsFile::Unreadable;
        }
    }
    length = SettingsText(bytes, got, text);
    return SettingsFile::Read;
}
