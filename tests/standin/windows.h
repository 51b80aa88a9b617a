// A stand-in for the handful of Win32 declarations the module uses, so that the module's own sources
// build and run natively on Linux for unit tests, sanitizers and fuzzers. It mirrors the real types'
// signedness; widths follow the native pointer size, as they do on 64-bit Windows.
#pragma once

#ifdef _WIN32
#error "the Win32 stand-in is for native test builds only; Windows builds use the real <windows.h>"
#endif

#include <cstddef>
#include <cstdint>

#define WINAPI
#define APIENTRY
#define CALLBACK

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef BYTE* LPBYTE;
typedef unsigned int UINT;
typedef uint32_t DWORD;
typedef DWORD* LPDWORD;
typedef int32_t LONG;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef intptr_t LONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef uintptr_t ULONG_PTR;
typedef size_t SIZE_T;
typedef intptr_t INT_PTR;
typedef DWORD_PTR* PDWORD_PTR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* LPVOID;
typedef void* PVOID;
typedef const void* LPCVOID;
typedef char16_t WCHAR; // UTF-16, as on Windows
typedef unsigned char BYTE;
typedef const WCHAR* LPCWSTR;
typedef WCHAR* LPWSTR;
typedef int32_t HRESULT;
typedef intptr_t (*FARPROC)();
typedef DWORD REGSAM;

typedef void* HANDLE;
typedef struct HWND__* HWND;
typedef struct HKEY__* HKEY;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

#define HWND_MESSAGE ((HWND)(intptr_t)-3)
#define GWLP_WNDPROC (-4)
#define GWLP_USERDATA (-21)
#define MEM_COMMIT 0x1000
#define MEM_RESERVE 0x2000
#define MEM_RELEASE 0x8000
#define PAGE_READWRITE 0x04

#define LOWORD(l) ((WORD)((DWORD_PTR)(l) & 0xFFFF))
#define HIWORD(l) ((WORD)(((DWORD_PTR)(l) >> 16) & 0xFFFF))

#define TRUE 1
#define FALSE 0

#define WM_GETTEXT 0x000D
#define WM_COMMAND 0x0111
#define WM_USER 0x0400
#define WM_COPYDATA 0x004A

typedef struct tagCOPYDATASTRUCT {
    ULONG_PTR dwData;
    DWORD cbData;
    PVOID lpData;
} COPYDATASTRUCT;

#define HKEY_CLASSES_ROOT ((HKEY)(uintptr_t)0x80000000u)
#define KEY_QUERY_VALUE 0x0001
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_MORE_DATA 234L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_TIMEOUT 1460L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_BAD_DEVICE 1200L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_PARTIAL_COPY 299L
#define ERROR_NOACCESS 998L

#define SMTO_NORMAL 0x0000
#define SMTO_ABORTIFHUNG 0x0002

#define MAX_PATH 260
#define S_OK ((HRESULT)0)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define CP_ACP 0
#define CP_UTF8 65001
#define MB_ERR_INVALID_CHARS 0x8
#define WC_NO_BEST_FIT_CHARS 0x400
#define WC_ERR_INVALID_CHARS 0x80

#define GENERIC_READ 0x80000000u
#define FILE_SHARE_READ 0x1
#define FILE_SHARE_WRITE 0x2
#define FILE_SHARE_DELETE 0x4
#define OPEN_EXISTING 3
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000
#define FILE_FLAG_OPEN_NO_RECALL 0x00100000
#define FILE_TYPE_UNKNOWN 0x0000
#define FILE_TYPE_DISK 0x0001
#define FILE_TYPE_CHAR 0x0002
#define FILE_TYPE_PIPE 0x0003
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define PF_XMMI64_INSTRUCTIONS_AVAILABLE 10
#define GET_MODULE_HANDLE_EX_FLAG_PIN 0x1
#define PROCESS_QUERY_INFORMATION 0x0400
#define PROCESS_QUERY_LIMITED_INFORMATION 0x1000
#define PROCESS_VM_OPERATION 0x0008
#define PROCESS_VM_READ 0x0010
#define PROCESS_VM_WRITE 0x0020

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

// Top-level windows only (`parent` null), newest first, from the one after `childAfter`.
HWND FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName);
LRESULT SendMessageA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageTimeoutA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                            PDWORD_PTR result);
// The same, with a message's text in UTF-16: a window procedure tells by StandinWideMessage().
LRESULT SendMessageTimeoutW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                            PDWORD_PTR result);
DWORD GetTickCount();
// Per thread, as on Windows; the stand-in's calls that fail set it.
DWORD GetLastError();
void SetLastError(DWORD error);
int wsprintfA(LPSTR out, LPCSTR format, ...);
LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD size);
LONG RegCloseKey(HKEY key);
BOOL DisableThreadLibraryCalls(HMODULE module);
// Files: only what reading one file needs, over the host's own file system; a UTF-16 path is its
// UTF-8 name there. A failed open sets the last error as Windows does: 2 missing, 3 no such folder,
// 5 a folder, 32 a file that a test holds locked.
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, void* security, DWORD creation, DWORD flags,
                   HANDLE templateFile);
HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD share, void* security, DWORD creation, DWORD flags,
                   HANDLE templateFile);
// The device behind a drive letter («C:»): a network redirector's for the letters a test maps to a
// share, a disk volume for the rest.
DWORD QueryDosDeviceA(LPCSTR name, LPSTR target, DWORD size);
BOOL ReadFile(HANDLE file, void* buffer, DWORD size, LPDWORD read, void* overlapped);
DWORD GetFileType(HANDLE file);
BOOL CloseHandle(HANDLE handle);
DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId);
HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD processId);
HANDLE GetCurrentProcess();
// Another process's memory, as a test lays it out in pages: a read that touches an uncommitted page
// fails whole, as on Windows.
BOOL ReadProcessMemory(HANDLE process, LPCVOID address, LPVOID buffer, SIZE_T size, SIZE_T* read);
// Writes only into committed pages; VirtualAllocEx commits zeroed pages of a block of its own.
BOOL WriteProcessMemory(HANDLE process, LPVOID address, LPCVOID buffer, SIZE_T size, SIZE_T* written);
LPVOID VirtualAllocEx(HANDLE process, LPVOID address, SIZE_T size, DWORD type, DWORD protect);
BOOL VirtualFreeEx(HANDLE process, LPVOID address, SIZE_T size, DWORD type);
// Windows of this process: only the system's "STATIC" class is made (message-only with HWND_MESSAGE);
// its proc answers 0. A message sent to one goes through its current WNDPROC.
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, void* menu, HINSTANCE instance, LPVOID param);
BOOL DestroyWindow(HWND window);
LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtrW(HWND window, int index);
LRESULT CallWindowProcW(WNDPROC proc, HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// Relative names are made absolute against the folder a test sets as this process's current one.
DWORD GetFullPathNameW(LPCWSTR name, DWORD size, LPWSTR full, LPWSTR* filePart);
DWORD GetFileAttributesA(LPCSTR path);
DWORD GetFileAttributesW(LPCWSTR path);
// The host's file system has no 8.3 names: the long path comes back, as on a Windows volume without
// them, unless a test has given the file a short path.
DWORD GetShortPathNameW(LPCWSTR path, LPWSTR shortPath, DWORD size);

// Text conversions: CP_UTF8 both ways. The ANSI code page is 1252 unless a test sets another: taken
// as ISO 8859-1 here, with best-fit look-alikes for Latin Extended-A unless WC_NO_BEST_FIT_CHARS, and
// the default character ("?" unless one is given) for the rest. Code page 932 knows ASCII and a few
// two-byte characters (表 ソ 能 東 京); 65001 is UTF-8. As Windows documents, WideCharToMultiByte for
// UTF-8 fails with ERROR_INVALID_PARAMETER given any flag but WC_ERR_INVALID_CHARS, a default
// character or a used-default pointer.
UINT GetACP();
BOOL IsDBCSLeadByte(BYTE c);
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR wide, int size);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int length, LPSTR text, int size,
                        LPCSTR defaultChar, BOOL* usedDefault);

// The host's own environment, whose text is UTF-8.
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR value, DWORD size);
DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR value, DWORD size);

// Only "shell32.dll" loads, and it has SHGetFolderPathW, answering the folders a test sets;
// "kernel32.dll" is always there, with QueryFullProcessImageNameW answering the programs a test sets
// and IsWow64Process, unless a test hides them.
HMODULE GetModuleHandleA(LPCSTR name);
BOOL GetModuleHandleExA(DWORD flags, LPCSTR name, HMODULE* module);
HMODULE LoadLibraryA(LPCSTR name);
BOOL FreeLibrary(HMODULE module);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL IsProcessorFeaturePresent(DWORD feature);
