#include "standin.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

namespace {

struct Window {
    std::string className;
    StandinProc proc;
    bool alive = true;
    bool hung = false;
    bool refused = false;
    StandinProcess process = StandinProcess::Own;
    // Made by CreateWindowExW: its procedure and its user data, as the module sets them.
    WNDPROC wndProc = nullptr;
    LONG_PTR userData = 0;
    HWND parent = nullptr;
};

struct Key {
    std::string subKey;
};

// Everything the stand-in knows, behind one lock so that tests may call from many threads.
struct State {
    std::mutex lock;
    std::vector<std::unique_ptr<Window>> windows;
    std::vector<SentMessage> messages;
    std::function<HWND(LPCSTR)> findHook;
    int findCalls = 0;
    std::map<std::string, std::optional<std::string>> registry;
    std::vector<std::unique_ptr<Key>> openKeys;
    std::vector<HMODULE> threadCallsDisabled;
    int openFiles = 0;
    DWORD clock = 1000;
    std::map<int, std::string> specialFolders;
    bool shellLoaded = false;
    int shellLoadsHeld = 0;
    bool shellPinned = false;
    std::map<std::string, std::string> shortPaths;
    bool sse2 = true;
    std::map<StandinProcess, std::string> programs;
    unsigned codePage = 1252;
    std::vector<std::string> locked;
    std::string remoteDrives;
    std::vector<std::string> hiddenExports;
    int fileProbes = 0;
    std::vector<StandinProcess> readRefused;
    // Committed pages of other processes' memory, by process and page number, zero-filled.
    std::map<std::pair<StandinProcess, uint64_t>, std::string> pages;
    std::vector<MemoryRead> memoryReads;
    DWORD lastOpenRights = 0;
    std::string currentFolder = "C:\\Host";
    std::map<std::pair<StandinProcess, uint64_t>, size_t> blocks; // VirtualAllocEx's, by address
    uint64_t nextBlock = 0x10000000;
    std::map<std::string, int> windowsMade;
};

constexpr uint64_t MEMORY_PAGE = 4096;

thread_local int CallDepth = 0;
thread_local DWORD LastError = 0;

struct InCall {
    InCall() { ++CallDepth; }
    ~InCall() { --CallDepth; }
};

State& TheState()
{
    static State state;
    return state;
}

Window* LookUp(State& s, HWND handle)
{
    for (auto& w : s.windows)
        if (reinterpret_cast<HWND>(w.get()) == handle)
            return w.get();
    return nullptr;
}

} // namespace

void StandinReset()
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.windows.clear();
    s.messages.clear();
    s.findHook = nullptr;
    s.findCalls = 0;
    s.registry.clear();
    s.openKeys.clear();
    s.threadCallsDisabled.clear();
    s.openFiles = 0;
    s.clock = 1000;
    s.specialFolders.clear();
    s.shellLoaded = false;
    s.shellLoadsHeld = 0;
    s.shellPinned = false;
    s.shortPaths.clear();
    s.sse2 = true;
    s.programs.clear();
    s.codePage = 1252;
    s.locked.clear();
    s.remoteDrives.clear();
    s.hiddenExports.clear();
    s.fileProbes = 0;
    s.readRefused.clear();
    s.pages.clear();
    s.memoryReads.clear();
    s.lastOpenRights = 0;
    s.currentFolder = "C:\\Host";
    s.blocks.clear();
    s.nextBlock = 0x10000000;
    s.windowsMade.clear();
}

void StandinSetReadRefused(StandinProcess process, bool refused)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    if (refused)
        s.readRefused.push_back(process);
    else
        s.readRefused.clear();
}

void StandinSetMemory(StandinProcess process, uint64_t address, const std::string& bytes)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::string& page = s.pages[{process, (address + i) / MEMORY_PAGE}];
        page.resize(MEMORY_PAGE, '\0');
        page[(address + i) % MEMORY_PAGE] = bytes[i];
    }
}

void StandinSetMemoryText(StandinProcess process, uint64_t address, const std::u16string& text)
{
    std::string bytes(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(char16_t));
    StandinSetMemory(process, address, bytes);
}

std::vector<MemoryRead> StandinTakeMemoryReads()
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    std::vector<MemoryRead> taken;
    taken.swap(s.memoryReads);
    return taken;
}

DWORD StandinLastOpenRights()
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.lastOpenRights;
}

void StandinSetCurrentFolder(const std::string& folder)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.currentFolder = folder;
}

int StandinFileProbes()
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.fileProbes;
}

void StandinSetCodePage(unsigned codePage)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.codePage = codePage;
}

void StandinSetLocked(const std::string& path, bool locked)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    if (locked)
        s.locked.push_back(path);
    else
        s.locked.clear();
}

void StandinSetRemoteDrive(char letter)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.remoteDrives += static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
}

void StandinHideExport(const std::string& name)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.hiddenExports.push_back(name);
}

void StandinSetProgram(StandinProcess process, const std::string& path)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.programs[process] = path;
}

void StandinSetWindowProcess(HWND window, StandinProcess process)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    if (Window* w = LookUp(s, window))
        w->process = process;
}

HWND StandinCreateWindow(const std::string& className, StandinProc proc)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.windows.push_back(std::make_unique<Window>(Window{className, std::move(proc)}));
    return reinterpret_cast<HWND>(s.windows.back().get());
}

void StandinDestroyWindow(HWND window)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    if (Window* w = LookUp(s, window))
        w->alive = false;
}

void StandinSetFindHook(std::function<HWND(LPCSTR)> hook)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.findHook = std::move(hook);
}

std::vector<SentMessage> StandinTakeMessages()
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    std::vector<SentMessage> taken;
    taken.swap(s.messages);
    return taken;
}

int StandinFindCalls()
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.findCalls;
}

void StandinSetDefaultValue(const std::string& subKey, const std::string& bytes)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.registry[subKey] = bytes;
}

void StandinCreateKey(const std::string& subKey)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.registry[subKey] = std::nullopt;
}

void StandinDeleteKey(const std::string& subKey)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.registry.erase(subKey);
}

int StandinOpenKeys()
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    return static_cast<int>(s.openKeys.size());
}

std::vector<HMODULE> StandinThreadCallsDisabled()
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.threadCallsDisabled;
}

bool StandinCallUnderWay()
{
    return CallDepth > 0;
}

HWND FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName)
{
    InCall inCall;
    State& s = TheState();
    std::function<HWND(LPCSTR)> hook;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        ++s.findCalls;
        hook = s.findHook;
        if (!hook) {
            if (parent != nullptr || windowName != nullptr)
                return nullptr; // the module searches top-level windows by class alone
            bool past = childAfter == nullptr;
            for (auto it = s.windows.rbegin(); it != s.windows.rend(); ++it) {
                if (past && (*it)->alive && (*it)->className == className)
                    return reinterpret_cast<HWND>(it->get());
                past = past || reinterpret_cast<HWND>(it->get()) == childAfter;
            }
            return nullptr;
        }
    }
    return childAfter == nullptr ? hook(className) : nullptr;
}

LRESULT SendMessageA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    InCall inCall;
    State& s = TheState();
    StandinProc proc;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        s.messages.push_back({window, msg, wParam, lParam, std::this_thread::get_id(), false});
        Window* w = LookUp(s, window);
        if (w == nullptr || !w->alive)
            return 0;
        proc = w->proc;
    }
    return proc(window, msg, wParam, lParam);
}

void StandinAdvanceClock(DWORD milliseconds)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.clock += milliseconds;
}

void StandinSetHung(HWND window, bool hung)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    if (Window* w = LookUp(s, window))
        w->hung = hung;
}

DWORD GetTickCount()
{
    InCall inCall;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.clock;
}

thread_local bool SendingWide = false;

bool StandinWideMessage()
{
    return SendingWide;
}

namespace {

LRESULT SendMessageTimeout(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                           PDWORD_PTR result, bool wide)
{
    InCall inCall;
    State& s = TheState();
    StandinProc proc;
    DWORD start;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        LPARAM recorded = msg == WM_COPYDATA && lParam != 0
                              ? static_cast<LPARAM>(reinterpret_cast<const COPYDATASTRUCT*>(lParam)->dwData)
                              : lParam;
        s.messages.push_back({window, msg, wParam, recorded, std::this_thread::get_id(), wide});
        Window* w = LookUp(s, window);
        if (w == nullptr || !w->alive) {
            LastError = ERROR_INVALID_WINDOW_HANDLE;
            return 0;
        }
        if (w->refused) {
            LastError = ERROR_ACCESS_DENIED;
            return 0;
        }
        if (w->hung) {
            if ((flags & SMTO_ABORTIFHUNG) == 0)
                s.clock += timeout;
            LastError = ERROR_TIMEOUT;
            return 0;
        }
        proc = w->proc;
        start = s.clock;
    }
    SendingWide = wide;
    LRESULT answer = proc(window, msg, wParam, lParam);
    SendingWide = false;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.clock - start > timeout) {
            s.clock = start + timeout;
            LastError = ERROR_TIMEOUT;
            return 0;
        }
    }
    if (result != nullptr)
        *result = static_cast<DWORD_PTR>(answer);
    return 1;
}

} // namespace

DWORD GetLastError()
{
    return LastError;
}

void SetLastError(DWORD error)
{
    LastError = error;
}

void StandinSetRefused(HWND window, bool refused)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    if (Window* w = LookUp(s, window))
        w->refused = refused;
}

LRESULT SendMessageTimeoutA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                            PDWORD_PTR result)
{
    return SendMessageTimeout(window, msg, wParam, lParam, flags, timeout, result, false);
}

LRESULT SendMessageTimeoutW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                            PDWORD_PTR result)
{
    return SendMessageTimeout(window, msg, wParam, lParam, flags, timeout, result, true);
}

// Like the platform's formatter, it writes at most 1023 characters and the terminating zero.
int wsprintfA(LPSTR out, LPCSTR format, ...)
{
    InCall inCall;
    va_list args;
    va_start(args, format);
    int wanted = std::vsnprintf(out, 1024, format, args);
    va_end(args);
    return wanted < 0 ? 0 : (wanted > 1023 ? 1023 : wanted);
}

LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, HKEY* result)
{
    InCall inCall;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    if (root != HKEY_CLASSES_ROOT || options != 0 || (access & KEY_QUERY_VALUE) == 0 || subKey == nullptr ||
        s.registry.count(subKey) == 0)
        return ERROR_FILE_NOT_FOUND;
    s.openKeys.push_back(std::make_unique<Key>(Key{subKey}));
    *result = reinterpret_cast<HKEY>(s.openKeys.back().get());
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    InCall inCall;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    const Key* open = nullptr;
    for (auto& k : s.openKeys)
        if (reinterpret_cast<HKEY>(k.get()) == key)
            open = k.get();
    if (open == nullptr || reserved != nullptr || (valueName != nullptr && *valueName != '\0'))
        return ERROR_FILE_NOT_FOUND;
    const auto& value = s.registry[open->subKey];
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type != nullptr)
        *type = 3; // REG_BINARY: the bytes come back exactly as stored
    DWORD needed = static_cast<DWORD>(value->size());
    if (data != nullptr) {
        if (size == nullptr)
            return 87; // ERROR_INVALID_PARAMETER
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, value->data(), needed);
    }
    if (size != nullptr)
        *size = needed;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    InCall inCall;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    for (auto it = s.openKeys.begin(); it != s.openKeys.end(); ++it)
        if (reinterpret_cast<HKEY>(it->get()) == key) {
            s.openKeys.erase(it);
            return ERROR_SUCCESS;
        }
    return 6; // ERROR_INVALID_HANDLE
}

BOOL DisableThreadLibraryCalls(HMODULE module)
{
    InCall inCall;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.threadCallsDisabled.push_back(module);
    return TRUE;
}

int StandinOpenFiles()
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.openFiles;
}

void StandinSetSse2(bool present)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.sse2 = present;
}

// A handle is the descriptor plus one, so that descriptor 0 is not a null handle.
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD, void*, DWORD creation, DWORD, HANDLE)
{
    InCall inCall;
    if (access != GENERIC_READ || creation != OPEN_EXISTING) {
        LastError = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE; // the module only ever reads files that exist
    }
    {
        State& s = TheState();
        std::lock_guard<std::mutex> guard(s.lock);
        for (const std::string& locked : s.locked)
            if (locked == path) {
                LastError = ERROR_SHARING_VIOLATION;
                return INVALID_HANDLE_VALUE;
            }
    }
    // Opening a pipe does not wait for its other end on Windows; reading it does.
    int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    // Windows answers a path past its length limit as one whose folder is not there.
    LastError = fd >= 0                                        ? 0
                : errno == ENOENT                              ? ERROR_FILE_NOT_FOUND
                : errno == ENOTDIR || errno == ENAMETOOLONG    ? ERROR_PATH_NOT_FOUND
                                                               : ERROR_ACCESS_DENIED;
    struct stat st;
    if (fd >= 0 && (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))) {
        close(fd); // Windows opens no folder without a flag the module does not pass
        fd = -1;
        LastError = ERROR_ACCESS_DENIED;
    }
    if (fd >= 0)
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (fd < 0)
        return INVALID_HANDLE_VALUE;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    ++s.openFiles;
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd) + 1);
}

DWORD QueryDosDeviceA(LPCSTR name, LPSTR target, DWORD size)
{
    InCall inCall;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    if (name[1] != ':' || name[2] != '\0' || letter < 'A' || letter > 'Z')
        return 0;
    std::string device = s.remoteDrives.find(letter) != std::string::npos
                             ? std::string("\\Device\\LanmanRedirector\\;") + letter + ":0000000000012345\\server\\music"
                             : "\\Device\\HarddiskVolume1";
    if (device.size() + 2 > size)
        return 0;
    std::memcpy(target, device.c_str(), device.size() + 1);
    target[device.size() + 1] = '\0';
    return static_cast<DWORD>(device.size() + 2);
}

// A regular file is a disk file; a FIFO is a pipe, and a device or a terminal a character device.
DWORD GetFileType(HANDLE file)
{
    InCall inCall;
    struct stat st;
    if (fstat(static_cast<int>(reinterpret_cast<intptr_t>(file) - 1), &st) != 0)
        return FILE_TYPE_UNKNOWN;
    if (S_ISREG(st.st_mode))
        return FILE_TYPE_DISK;
    return S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) ? FILE_TYPE_PIPE : FILE_TYPE_CHAR;
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD size, LPDWORD read, void* overlapped)
{
    InCall inCall;
    *read = 0;
    if (overlapped != nullptr)
        return FALSE;
    ssize_t n = ::read(static_cast<int>(reinterpret_cast<intptr_t>(file) - 1), buffer, size);
    if (n < 0)
        return FALSE;
    *read = static_cast<DWORD>(n);
    return TRUE;
}

namespace {

// A process handle is its id past this; ids are the StandinProcess values, plus one.
constexpr intptr_t PROCESS_HANDLES = 0x70000000;

} // namespace

DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId)
{
    InCall inCall;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    Window* w = LookUp(s, window);
    DWORD id = w != nullptr && w->alive ? static_cast<DWORD>(w->process) + 1 : 0;
    if (processId != nullptr)
        *processId = id;
    return id; // the thread's id, as far as anyone here asks
}

HANDLE OpenProcess(DWORD rights, BOOL, DWORD processId)
{
    InCall inCall;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.lastOpenRights = rights;
    bool readRefused = false;
    for (StandinProcess p : s.readRefused)
        readRefused = readRefused || processId == static_cast<DWORD>(p) + 1;
    if (processId == 0 || processId == static_cast<DWORD>(StandinProcess::Unopenable) + 1 ||
        (readRefused && (rights & (PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_VM_OPERATION)) != 0)) {
        LastError = processId == 0 ? ERROR_INVALID_PARAMETER : ERROR_ACCESS_DENIED;
        return nullptr;
    }
    ++s.openFiles;
    return reinterpret_cast<HANDLE>(PROCESS_HANDLES + processId);
}

BOOL ReadProcessMemory(HANDLE process, LPCVOID address, LPVOID buffer, SIZE_T size, SIZE_T* read)
{
    InCall inCall;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    intptr_t handle = reinterpret_cast<intptr_t>(process);
    StandinProcess which = static_cast<StandinProcess>(handle - PROCESS_HANDLES - 1);
    uint64_t at = reinterpret_cast<uintptr_t>(address);
    s.memoryReads.push_back({which, at, size});
    if (read != nullptr)
        *read = 0;
    for (uint64_t page = at / MEMORY_PAGE; size > 0 && page <= (at + size - 1) / MEMORY_PAGE; ++page)
        if (s.pages.count({which, page}) == 0) {
            LastError = page == at / MEMORY_PAGE ? ERROR_NOACCESS : ERROR_PARTIAL_COPY;
            return FALSE;
        }
    for (size_t i = 0; i < size; ++i)
        static_cast<char*>(buffer)[i] = s.pages[{which, (at + i) / MEMORY_PAGE}][(at + i) % MEMORY_PAGE];
    if (read != nullptr)
        *read = size;
    return TRUE;
}

HANDLE GetCurrentProcess()
{
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
}

// This process is a 64-bit one, as is every other but the one a test calls 32-bit.
static BOOL WINAPI StandinIsWow64Process(HANDLE process, BOOL* wow64)
{
    InCall inCall;
    *wow64 = process == reinterpret_cast<HANDLE>(PROCESS_HANDLES + static_cast<intptr_t>(StandinProcess::Wow64) + 1);
    return TRUE;
}

BOOL CloseHandle(HANDLE handle)
{
    InCall inCall;
    intptr_t value = reinterpret_cast<intptr_t>(handle);
    if (value > PROCESS_HANDLES && value <= PROCESS_HANDLES + static_cast<intptr_t>(StandinProcess::Unopenable) + 1) {
        State& s = TheState();
        std::lock_guard<std::mutex> guard(s.lock);
        --s.openFiles;
        return TRUE;
    }
    if (close(static_cast<int>(reinterpret_cast<intptr_t>(handle) - 1)) != 0)
        return FALSE;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    --s.openFiles;
    return TRUE;
}

DWORD GetFileAttributesA(LPCSTR path)
{
    InCall inCall;
    {
        State& s = TheState();
        std::lock_guard<std::mutex> guard(s.lock);
        ++s.fileProbes;
    }
    struct stat st;
    if (stat(path, &st) != 0)
        return INVALID_FILE_ATTRIBUTES;
    return S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : 0x80; // or FILE_ATTRIBUTE_NORMAL
}

BOOL IsProcessorFeaturePresent(DWORD feature)
{
    InCall inCall;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    return feature == PF_XMMI64_INSTRUCTIONS_AVAILABLE && s.sse2;
}

void StandinSetSpecialFolder(int csidl, const std::string& path)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.specialFolders[csidl] = path;
}

void StandinSetShortPath(const std::string& longPath, const std::string& shortPath)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.shortPaths[longPath] = shortPath;
}

void StandinSetShellLoaded(bool loaded)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.shellLoaded = loaded;
}

int StandinShellLoadsHeld()
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.shellLoadsHeld;
}

bool StandinShellPinned()
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.shellPinned;
}

namespace {

HMODULE const SHELL32 = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x5E110000));
HMODULE const KERNEL32 = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x6B000000));

std::string Utf8(LPCWSTR wide)
{
    std::string out;
    for (; *wide != 0; ++wide) {
        uint32_t c = *wide;
        if (c >= 0xD800 && c < 0xDC00 && wide[1] >= 0xDC00 && wide[1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (*++wide - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Decodes UTF-8 strictly; false on any malformed sequence.
bool DecodeUtf8(const std::string& text, std::u16string& out)
{
    for (size_t i = 0; i < text.size();) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || i + extra >= text.size() + (extra == 0 ? 1 : 0))
            return false;
        uint32_t c = extra == 0 ? b : b & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            unsigned char n = static_cast<unsigned char>(text[i + k]);
            if ((n & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (n & 0x3F);
        }
        static const uint32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (c < least[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
            return false;
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

HRESULT WINAPI StandinFolderPath(HWND, int csidl, HANDLE, DWORD, LPWSTR path)
{
    InCall inCall;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    auto it = s.specialFolders.find(csidl);
    std::u16string wide;
    if (it == s.specialFolders.end() || !DecodeUtf8(it->second, wide) || wide.size() >= MAX_PATH)
        return E_INVALIDARG;
    std::memcpy(path, wide.c_str(), (wide.size() + 1) * sizeof(WCHAR));
    return S_OK;
}

unsigned CodePage()
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.codePage;
}

// Code page 932 as far as the tests need it: ASCII, and these two-byte characters, three of whose
// second bytes are a backslash's.
const std::pair<char16_t, uint16_t> SHIFT_JIS[] = {
    {u'\u8868', 0x955C}, {u'\u30BD', 0x835C}, {u'\u80FD', 0x945C}, {u'\u6771', 0x938C}, {u'\u4EAC', 0x8B9E}};

bool IsShiftJisLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

} // namespace

static BOOL WINAPI StandinImageName(HANDLE process, DWORD, LPWSTR path, LPDWORD size)
{
    InCall inCall;
    std::string program;
    {
        State& s = TheState();
        std::lock_guard<std::mutex> guard(s.lock);
        intptr_t id = reinterpret_cast<intptr_t>(process) - PROCESS_HANDLES;
        for (const auto& p : s.programs)
            if (static_cast<intptr_t>(p.first) + 1 == id)
                program = p.second;
    }
    std::u16string wide;
    if (program.empty() || !DecodeUtf8(program, wide) || wide.size() + 1 > *size)
        return FALSE;
    std::memcpy(path, wide.c_str(), (wide.size() + 1) * sizeof(WCHAR));
    *size = static_cast<DWORD>(wide.size());
    return TRUE;
}

HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD share, void* security, DWORD creation, DWORD flags,
                   HANDLE templateFile)
{
    InCall inCall;
    return CreateFileA(Utf8(path).c_str(), access, share, security, creation, flags, templateFile);
}

UINT GetACP()
{
    InCall inCall;
    return CodePage();
}

BOOL IsDBCSLeadByte(BYTE c)
{
    InCall inCall;
    return CodePage() == 932 && IsShiftJisLead(c);
}

DWORD GetFileAttributesW(LPCWSTR path)
{
    InCall inCall;
    return GetFileAttributesA(Utf8(path).c_str());
}

DWORD GetShortPathNameW(LPCWSTR path, LPWSTR shortPath, DWORD size)
{
    InCall inCall;
    std::string longPath = Utf8(path);
    if (GetFileAttributesA(longPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        return 0;
    std::u16string answer = path;
    {
        State& s = TheState();
        std::lock_guard<std::mutex> guard(s.lock);
        auto it = s.shortPaths.find(longPath);
        if (it != s.shortPaths.end()) {
            answer.clear();
            DecodeUtf8(it->second, answer);
        }
    }
    if (answer.size() + 1 > size)
        return static_cast<DWORD>(answer.size() + 1);
    std::memcpy(shortPath, answer.c_str(), (answer.size() + 1) * sizeof(WCHAR));
    return static_cast<DWORD>(answer.size());
}

DWORD GetFullPathNameW(LPCWSTR name, DWORD size, LPWSTR full, LPWSTR* filePart)
{
    InCall inCall;
    std::u16string given = name;
    std::u16string answer;
    bool absolute = (given.size() >= 3 && given[1] == ':' && (given[2] == '\\' || given[2] == '/')) ||
                    (!given.empty() && (given[0] == '\\' || given[0] == '/'));
    if (absolute) {
        answer = given;
    } else {
        State& s = TheState();
        std::lock_guard<std::mutex> guard(s.lock);
        DecodeUtf8(s.currentFolder, answer);
        std::u16string rest = given.compare(0, 2, u".\\") == 0 ? given.substr(2) : given;
        answer += u"\\" + rest;
    }
    if (filePart != nullptr)
        *filePart = nullptr;
    if (answer.size() + 1 > size)
        return static_cast<DWORD>(answer.size() + 1);
    std::memcpy(full, answer.c_str(), (answer.size() + 1) * sizeof(WCHAR));
    return static_cast<DWORD>(answer.size());
}

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR wide, int size)
{
    InCall inCall;
    std::string bytes = length < 0 ? std::string(text, std::strlen(text) + 1) : std::string(text, length);
    std::u16string out;
    unsigned acp = CodePage();
    if (codePage == CP_ACP)
        codePage = acp;
    if (codePage == CP_UTF8) {
        if (!DecodeUtf8(bytes, out) && (flags & MB_ERR_INVALID_CHARS) != 0)
            return 0;
    } else if (codePage == 932) {
        for (size_t i = 0; i < bytes.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(bytes[i]);
            if (!IsShiftJisLead(c) || i + 1 >= bytes.size()) {
                out += static_cast<char16_t>(c < 0x80 ? c : u'?');
                continue;
            }
            uint16_t pair = static_cast<uint16_t>(c << 8 | static_cast<unsigned char>(bytes[++i]));
            char16_t found = u'\u30FB';
            for (const auto& k : SHIFT_JIS)
                if (k.second == pair)
                    found = k.first;
            out += found;
        }
    } else {
        for (char c : bytes)
            out += static_cast<char16_t>(static_cast<unsigned char>(c));
    }
    if (size == 0)
        return static_cast<int>(out.size());
    if (static_cast<int>(out.size()) > size)
        return 0;
    std::memcpy(wide, out.data(), out.size() * sizeof(WCHAR));
    return static_cast<int>(out.size());
}

// Without WC_NO_BEST_FIT_CHARS, the system writes a look-alike for a letter the code page lacks,
// without counting it as the default character: here Latin Extended-A (U+0100 to U+017F), "-" where
// there is none.
const char BEST_FIT[] = "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi--JjKk-LlLlLlLlLlNnNnNn---OoOoOo--RrRrRrSsSsSsSsTt"
                        "TtTtUuUuUuUuUuUuWwYyYZzZzZz-";

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int length, LPSTR text, int size,
                        LPCSTR defaultChar, BOOL* usedDefault)
{
    InCall inCall;
    std::u16string chars = length < 0 ? std::u16string(wide, std::char_traits<char16_t>::length(wide) + 1)
                                      : std::u16string(wide, length);
    std::string out;
    bool lossy = false;
    if (codePage == CP_ACP)
        codePage = CodePage();
    if (codePage == CP_UTF8) {
        if ((flags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) != 0 || defaultChar != nullptr || usedDefault != nullptr) {
            LastError = ERROR_INVALID_PARAMETER;
            return 0;
        }
        // With WC_ERR_INVALID_CHARS a lone surrogate fails the call rather than become U+FFFD.
        for (size_t i = 0; (flags & WC_ERR_INVALID_CHARS) != 0 && i < chars.size(); ++i) {
            bool high = chars[i] >= 0xD800 && chars[i] < 0xDC00, low = chars[i] >= 0xDC00 && chars[i] < 0xE000;
            bool paired = high && i + 1 < chars.size() && chars[i + 1] >= 0xDC00 && chars[i + 1] < 0xE000;
            if ((high && !paired) || low) {
                LastError = 1113; // ERROR_NO_UNICODE_TRANSLATION
                return 0;
            }
            i += paired ? 1 : 0;
        }
        out = Utf8(chars.c_str());
        if (length < 0)
            out += '\0';
    } else if (codePage == 932) {
        for (char16_t c : chars) {
            uint16_t pair = 0;
            for (const auto& k : SHIFT_JIS)
                if (k.first == c)
                    pair = k.second;
            if (c < 0x80) {
                out += static_cast<char>(c);
            } else if (pair != 0) {
                out += static_cast<char>(pair >> 8);
                out += static_cast<char>(pair & 0xFF);
            } else {
                lossy = true;
                out += defaultChar != nullptr ? *defaultChar : '?';
            }
        }
    } else {
        for (char16_t c : chars) {
            char fit = c >= 0x100 && c < 0x180 && (flags & WC_NO_BEST_FIT_CHARS) == 0 ? BEST_FIT[c - 0x100] : '-';
            if (c <= 0xFF)
                out += static_cast<char>(c);
            else if (fit != '-')
                out += fit;
            else {
                lossy = true;
                out += defaultChar != nullptr ? *defaultChar : '?';
            }
        }
    }
    if (usedDefault != nullptr)
        *usedDefault = lossy;
    if (size == 0)
        return static_cast<int>(out.size());
    if (static_cast<int>(out.size()) > size)
        return 0;
    std::memcpy(text, out.data(), out.size());
    return static_cast<int>(out.size());
}

// Names are compared without regard to case, as on Windows.
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR value, DWORD size)
{
    InCall inCall;
    size_t nameLength = std::strlen(name);
    const char* found = nullptr;
    for (char** entry = environ; found == nullptr && *entry != nullptr; ++entry)
        if (strncasecmp(*entry, name, nameLength) == 0 && (*entry)[nameLength] == '=')
            found = *entry + nameLength + 1;
    if (found == nullptr)
        return 0;
    size_t n = std::strlen(found);
    if (n + 1 > size)
        return static_cast<DWORD>(n + 1);
    std::memcpy(value, found, n + 1);
    return static_cast<DWORD>(n);
}

DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR value, DWORD size)
{
    InCall inCall;
    std::string narrowName = Utf8(name);
    char found[32768];
    DWORD n = GetEnvironmentVariableA(narrowName.c_str(), found, sizeof found);
    if (n == 0 || n >= sizeof found)
        return 0;
    std::u16string wide;
    if (!DecodeUtf8(found, wide))
        return 0;
    if (wide.size() + 1 > size)
        return static_cast<DWORD>(wide.size() + 1);
    std::memcpy(value, wide.c_str(), (wide.size() + 1) * sizeof(WCHAR));
    return static_cast<DWORD>(wide.size());
}

HMODULE GetModuleHandleA(LPCSTR name)
{
    InCall inCall;
    if (strcasecmp(name, "kernel32") == 0 || strcasecmp(name, "kernel32.dll") == 0)
        return KERNEL32;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    return (s.shellLoaded || s.shellLoadsHeld > 0) && std::strcmp(name, "shell32.dll") == 0 ? SHELL32 : nullptr;
}

BOOL GetModuleHandleExA(DWORD flags, LPCSTR name, HMODULE* module)
{
    *module = GetModuleHandleA(name);
    if (*module != SHELL32)
        return FALSE;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.shellPinned = s.shellPinned || (flags & GET_MODULE_HANDLE_EX_FLAG_PIN) != 0;
    return TRUE;
}

HMODULE LoadLibraryA(LPCSTR name)
{
    InCall inCall;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    if (std::strcmp(name, "shell32.dll") != 0)
        return nullptr;
    ++s.shellLoadsHeld;
    return SHELL32;
}

BOOL FreeLibrary(HMODULE module)
{
    InCall inCall;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    if (module != SHELL32 || s.shellLoadsHeld == 0 || s.shellPinned)
        return FALSE;
    --s.shellLoadsHeld;
    return TRUE;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    InCall inCall;
    if (module == KERNEL32) {
        {
            State& s = TheState();
            std::lock_guard<std::mutex> guard(s.lock);
            for (const std::string& hidden : s.hiddenExports)
                if (hidden == name)
                    return nullptr;
        }
        if (std::strcmp(name, "IsWow64Process") == 0)
            return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&StandinIsWow64Process));
        return std::strcmp(name, "QueryFullProcessImageNameW") == 0
                   ? reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&StandinImageName))
                   : nullptr;
    }
    if (module != SHELL32 || std::strcmp(name, "SHGetFolderPathW") != 0)
        return nullptr;
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&StandinFolderPath));
}

namespace {

StandinProcess ProcessOfHandle(HANDLE process)
{
    return static_cast<StandinProcess>(reinterpret_cast<intptr_t>(process) - PROCESS_HANDLES - 1);
}

bool Committed(State& s, StandinProcess process, uint64_t at, size_t size)
{
    for (uint64_t page = at / MEMORY_PAGE; size > 0 && page <= (at + size - 1) / MEMORY_PAGE; ++page)
        if (s.pages.count({process, page}) == 0)
            return false;
    return true;
}

LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

} // namespace

std::string StandinReadMemory(StandinProcess process, uint64_t address, size_t size)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!Committed(s, process, address, size))
        return std::string();
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = s.pages[{process, (address + i) / MEMORY_PAGE}][(address + i) % MEMORY_PAGE];
    return bytes;
}

std::vector<uint64_t> StandinAllocatedBlocks()
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    std::vector<uint64_t> blocks;
    for (const auto& b : s.blocks)
        blocks.push_back(b.first.second);
    return blocks;
}

BOOL WriteProcessMemory(HANDLE process, LPVOID address, LPCVOID buffer, SIZE_T size, SIZE_T* written)
{
    InCall inCall;
    StandinProcess which = ProcessOfHandle(process);
    uint64_t at = reinterpret_cast<uintptr_t>(address);
    {
        State& s = TheState();
        std::lock_guard<std::mutex> guard(s.lock);
        if (written != nullptr)
            *written = 0;
        if (!Committed(s, which, at, size)) {
            LastError = ERROR_NOACCESS;
            return FALSE;
        }
        for (size_t i = 0; i < size; ++i)
            s.pages[{which, (at + i) / MEMORY_PAGE}][(at + i) % MEMORY_PAGE] = static_cast<const char*>(buffer)[i];
    }
    if (written != nullptr)
        *written = size;
    return TRUE;
}

LPVOID VirtualAllocEx(HANDLE process, LPVOID, SIZE_T size, DWORD, DWORD)
{
    InCall inCall;
    StandinProcess which = ProcessOfHandle(process);
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    uint64_t at = s.nextBlock;
    size_t pages = (size + MEMORY_PAGE - 1) / MEMORY_PAGE;
    s.nextBlock += (pages + 1) * MEMORY_PAGE;
    for (size_t i = 0; i < pages; ++i)
        s.pages[{which, at / MEMORY_PAGE + i}] = std::string(MEMORY_PAGE, '\0');
    s.blocks[{which, at}] = pages;
    return reinterpret_cast<LPVOID>(static_cast<uintptr_t>(at));
}

BOOL VirtualFreeEx(HANDLE process, LPVOID address, SIZE_T size, DWORD type)
{
    InCall inCall;
    StandinProcess which = ProcessOfHandle(process);
    uint64_t at = reinterpret_cast<uintptr_t>(address);
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    auto block = s.blocks.find({which, at});
    if (block == s.blocks.end() || size != 0 || type != MEM_RELEASE) {
        LastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    for (size_t i = 0; i < block->second; ++i)
        s.pages.erase({which, at / MEMORY_PAGE + i});
    s.blocks.erase(block);
    return TRUE;
}

HWND CreateWindowExW(DWORD, LPCWSTR className, LPCWSTR, DWORD, int, int, int, int, HWND parent, void*, HINSTANCE,
                     LPVOID)
{
    InCall inCall;
    std::string name = Utf8(className);
    if (name != "STATIC")
        return nullptr;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    auto window = std::make_unique<Window>(Window{name, nullptr});
    window->wndProc = StaticProc;
    window->parent = parent;
    Window* w = window.get();
    HWND handle = reinterpret_cast<HWND>(w);
    w->proc = [w, handle](HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
        return w->wndProc(handle, msg, wParam, lParam);
    };
    s.windows.push_back(std::move(window));
    ++s.windowsMade[name];
    return handle;
}

BOOL DestroyWindow(HWND window)
{
    InCall inCall;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    Window* w = LookUp(s, window);
    if (w == nullptr || !w->alive)
        return FALSE;
    w->alive = false;
    return TRUE;
}

LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value)
{
    InCall inCall;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    Window* w = LookUp(s, window);
    if (w == nullptr || !w->alive)
        return 0;
    LONG_PTR old = 0;
    if (index == GWLP_WNDPROC) {
        old = reinterpret_cast<LONG_PTR>(w->wndProc);
        w->wndProc = reinterpret_cast<WNDPROC>(value);
    } else if (index == GWLP_USERDATA) {
        old = w->userData;
        w->userData = value;
    }
    return old;
}

LONG_PTR GetWindowLongPtrW(HWND window, int index)
{
    InCall inCall;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    Window* w = LookUp(s, window);
    if (w == nullptr || !w->alive)
        return 0;
    return index == GWLP_WNDPROC ? reinterpret_cast<LONG_PTR>(w->wndProc) : index == GWLP_USERDATA ? w->userData : 0;
}

LRESULT CallWindowProcW(WNDPROC proc, HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return proc != nullptr ? proc(window, msg, wParam, lParam) : 0;
}

LRESULT DefWindowProcW(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

LRESULT StandinDeliver(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    StandinProc proc;
    {
        State& s = TheState();
        std::lock_guard<std::mutex> guard(s.lock);
        Window* w = LookUp(s, window);
        if (w == nullptr || !w->alive)
            return 0;
        proc = w->proc;
    }
    return proc(window, msg, wParam, lParam);
}

int StandinLiveWindows(const std::string& className)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    int n = 0;
    for (const auto& w : s.windows)
        n += w->alive && w->className == className ? 1 : 0;
    return n;
}

int StandinWindowsMade(const std::string& className)
{
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    auto it = s.windowsMade.find(className);
    return it != s.windowsMade.end() ? it->second : 0;
}
