// Controls of the native Win32 stand-in: windows with a test's own window procedure, a record of every
// message sent, a registry of default values, and counters for what must be released.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using StandinProc = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

struct SentMessage {
    HWND window;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    std::thread::id thread;
    bool wide; // sent with SendMessageTimeoutW
};

// Forgets every window, message, registry value and counter.
void StandinReset();

// Later windows of a class are found before earlier ones, as the newest top-level window is on top.
HWND StandinCreateWindow(const std::string& className, StandinProc proc);
// The handle stays known but dead: FindWindowExA passes it over and messages to it answer 0.
void StandinDestroyWindow(HWND window);
// The process that owns a window, as the module may ask it of the system.
enum class StandinProcess {
    Own,        // this test's process (64-bit), the default
    Wow64,      // another program, 32-bit under WoW64
    Native64,   // another program, 64-bit
    Unopenable, // another program, whose process the module may not open
};
void StandinSetWindowProcess(HWND window, StandinProcess process);
// A process whose memory the module may not read (an elevated player): opening it for reading fails
// with error 5, while it may still be asked its program.
void StandinSetReadRefused(StandinProcess process, bool refused);
// Bytes at `address` in a process's memory, committing the pages they touch (zero-filled around
// them). A read succeeds only when every page it touches is committed, as on Windows: otherwise it
// fails whole, with error 998 when its first page is not, 299 when a later one is not.
void StandinSetMemory(StandinProcess process, uint64_t address, const std::string& bytes);
// UTF-16 text with its zero, as the player keeps its strings.
void StandinSetMemoryText(StandinProcess process, uint64_t address, const std::u16string& text);
struct MemoryRead {
    StandinProcess process;
    uint64_t address;
    size_t size;
};
// Every ReadProcessMemory since the last look, in order.
std::vector<MemoryRead> StandinTakeMemoryReads();
// Bytes of a process's memory as they stand, for a window procedure playing the player; empty when
// a page is not committed.
std::string StandinReadMemory(StandinProcess process, uint64_t address, size_t size);
// Blocks that VirtualAllocEx made and VirtualFreeEx has not released, by address.
std::vector<uint64_t> StandinAllocatedBlocks();
// A message another program sends one of this process's windows, as the player replies: handed to the
// window's procedure at once and not recorded among the module's messages; 0 for a window gone.
LRESULT StandinDeliver(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// Windows of `className` that CreateWindowExW made and that are not destroyed, and how many were made.
int StandinLiveWindows(const std::string& className);
int StandinWindowsMade(const std::string& className);
// The rights the latest OpenProcess asked for.
DWORD StandinLastOpenRights();
// This process's current folder, for GetFullPathNameW (a Windows path; «C:\Host» unless set).
void StandinSetCurrentFolder(const std::string& folder);
// The program file (UTF-8) that QueryFullProcessImageNameW answers for a process; without one, the
// process cannot be asked its program.
void StandinSetProgram(StandinProcess process, const std::string& path);
// Replaces the window search, for tests that need a different answer on each thread.
void StandinSetFindHook(std::function<HWND(LPCSTR className)> hook);

std::vector<SentMessage> StandinTakeMessages();
// Inside a window procedure: whether the message came through SendMessageTimeoutW.
bool StandinWideMessage();

// Time, as GetTickCount tells it, stands still unless a test moves it: a window procedure that
// advances it is a slow player. A message whose procedure took longer than the sender's time-out
// fails as a timed-out one does.
void StandinAdvanceClock(DWORD milliseconds);
// A hung window: a message with SMTO_ABORTIFHUNG fails at once, one without it waits its time-out.
void StandinSetHung(HWND window, bool hung);
// A window of a process with more rights than the module's: the system refuses every message sent
// to it (error 5), as Windows does for an elevated player.
void StandinSetRefused(HWND window, bool refused);
int StandinFindCalls();

// Sets the default value of HKEY_CLASSES_ROOT\subKey to these bytes, taken as they are: add the
// terminating zero yourself when the value should have one.
void StandinSetDefaultValue(const std::string& subKey, const std::string& bytes);
// A key that exists without a default value.
void StandinCreateKey(const std::string& subKey);
void StandinDeleteKey(const std::string& subKey);
int StandinOpenKeys();

std::vector<HMODULE> StandinThreadCallsDisabled();

// Files opened through CreateFileA, and processes through OpenProcess, not yet closed.
int StandinOpenFiles();
// The ANSI code page: 1252 (the default), 932 or 65001.
void StandinSetCodePage(unsigned codePage);
// A file that another program holds open without sharing: opening it fails with error 32.
void StandinSetLocked(const std::string& path, bool locked);
// A drive letter that names a network share.
void StandinSetRemoteDrive(char letter);
// How often the module asked whether a file exists (GetFileAttributesA or W).
int StandinFileProbes();
// A kernel32 export that this Windows lacks (IsWow64Process before XP SP2).
void StandinHideExport(const std::string& name);
// The special folder SHGetFolderPathW answers for a CSIDL (UTF-8); unknown ones fail.
void StandinSetSpecialFolder(int csidl, const std::string& path);
// Whether the host has shell32 loaded already, how often the module loaded it without freeing it,
// and whether the module pinned it (after which it cannot be freed).
void StandinSetShellLoaded(bool loaded);
int StandinShellLoadsHeld();
bool StandinShellPinned();

// The short path GetShortPathNameW answers for the file at `longPath` (UTF-8).
void StandinSetShortPath(const std::string& longPath, const std::string& shortPath);

// What IsProcessorFeaturePresent answers for SSE2 (true unless a test says otherwise).
void StandinSetSse2(bool present);

// True while a stand-in Win32 call (and the window procedure it runs) is under way on this thread, so
// that a test can fail the module's own allocations and no one else's.
bool StandinCallUnderWay();
