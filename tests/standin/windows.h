// A stand-in for the handful of Win32 declarations the module uses, so that the module's own sources
// build and run natively on Linux for unit tests, sanitizers and fuzzers. It mirrors the real types'
// signedness; widths follow the native pointer size, as they do on 64-bit Windows.
#pragma once

#ifdef _WIN32
#error "the Win32 stand-in is for native test builds only; Windows builds use the real <windows.h>"
#endif

#include <cstdint>

#define WINAPI
#define APIENTRY
#define CALLBACK

typedef int BOOL;
typedef unsigned char BYTE;
typedef BYTE* LPBYTE;
typedef unsigned int UINT;
typedef uint32_t DWORD;
typedef DWORD* LPDWORD;
typedef int32_t LONG;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef uintptr_t DWORD_PTR;
typedef DWORD_PTR* PDWORD_PTR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* LPVOID;
typedef DWORD REGSAM;

typedef void* HANDLE;
typedef struct HWND__* HWND;
typedef struct HKEY__* HKEY;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;

#define TRUE 1
#define FALSE 0

#define WM_GETTEXT 0x000D
#define WM_COMMAND 0x0111
#define WM_USER 0x0400

#define HKEY_CLASSES_ROOT ((HKEY)(uintptr_t)0x80000000u)
#define KEY_QUERY_VALUE 0x0001
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_MORE_DATA 234L

#define SMTO_NORMAL 0x0000
#define SMTO_ABORTIFHUNG 0x0002

#define GENERIC_READ 0x80000000u
#define FILE_SHARE_READ 0x1
#define FILE_SHARE_WRITE 0x2
#define FILE_SHARE_DELETE 0x4
#define OPEN_EXISTING 3
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define PF_XMMI64_INSTRUCTIONS_AVAILABLE 10

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

HWND FindWindowA(LPCSTR className, LPCSTR windowName);
LRESULT SendMessageA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageTimeoutA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                            PDWORD_PTR result);
DWORD GetTickCount();
int wsprintfA(LPSTR out, LPCSTR format, ...);
LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD size);
LONG RegCloseKey(HKEY key);
BOOL DisableThreadLibraryCalls(HMODULE module);
// Files: only what reading one file needs, over the host's own file system.
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, void* security, DWORD creation, DWORD flags,
                   HANDLE templateFile);
BOOL ReadFile(HANDLE file, void* buffer, DWORD size, LPDWORD read, void* overlapped);
BOOL CloseHandle(HANDLE handle);
DWORD GetFileAttributesA(LPCSTR path);
BOOL IsProcessorFeaturePresent(DWORD feature);
