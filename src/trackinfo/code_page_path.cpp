#include "code_page_path.h"

#include "location/path_buffer.h"

int ExactlyInCodePage(const WCHAR* wide, char* out, int size)
{
    // For UTF-8 the system takes no best-fit flag, default character or used-default pointer: it
    // fails with them. Only a lone surrogate does not convert, which the flag it does take refuses.
    if (GetACP() == CP_UTF8) {
        int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, -1, out, size, nullptr, nullptr);
        return n > 0 ? n - 1 : -1;
    }
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, out, size, nullptr, &lossy);
    return n > 0 && !lossy ? n - 1 : -1;
}

int ShortPathInCodePage(const WCHAR* path, char* out, int size)
{
    WCHAR shortPath[PATH_BUFFER];
    DWORD got = GetShortPathNameW(path, shortPath, PATH_BUFFER);
    if (got == 0 || got >= PATH_BUFFER)
        return -1;
    return ExactlyInCodePage(shortPath, out, size);
}
