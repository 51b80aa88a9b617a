#include "code_page_path.h"

#include "path_buffer.h"

int ExactlyInCodePage(const WCHAR* wide, char* out, int size)
{
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
