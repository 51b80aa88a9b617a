#include "standin.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    bool sse2 = true;
};

thread_local int CallDepth = 0;

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
    s.sse2 = true;
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

HWND FindWindowA(LPCSTR className, LPCSTR windowName)
{
    InCall inCall;
    State& s = TheState();
    std::function<HWND(LPCSTR)> hook;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        ++s.findCalls;
        hook = s.findHook;
        if (!hook) {
            if (windowName != nullptr)
                return nullptr; // the module never searches by title
            for (auto it = s.windows.rbegin(); it != s.windows.rend(); ++it)
                if ((*it)->alive && (*it)->className == className)
                    return reinterpret_cast<HWND>(it->get());
            return nullptr;
        }
    }
    return hook(className);
}

LRESULT SendMessageA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    InCall inCall;
    State& s = TheState();
    StandinProc proc;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        s.messages.push_back({window, msg, wParam, lParam, std::this_thread::get_id()});
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

LRESULT SendMessageTimeoutA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                            PDWORD_PTR result)
{
    InCall inCall;
    State& s = TheState();
    StandinProc proc;
    DWORD start;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        s.messages.push_back({window, msg, wParam, lParam, std::this_thread::get_id()});
        Window* w = LookUp(s, window);
        if (w == nullptr || !w->alive)
            return 0;
        if (w->hung) {
            if ((flags & SMTO_ABORTIFHUNG) == 0)
                s.clock += timeout;
            return 0;
        }
        proc = w->proc;
        start = s.clock;
    }
    LRESULT answer = proc(window, msg, wParam, lParam);
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.clock - start > timeout) {
            s.clock = start + timeout;
            return 0;
        }
    }
    if (result != nullptr)
        *result = static_cast<DWORD_PTR>(answer);
    return 1;
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
    if (access != GENERIC_READ || creation != OPEN_EXISTING)
        return INVALID_HANDLE_VALUE; // the module only ever reads files that exist
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd >= 0 && (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))) {
        close(fd); // Windows opens no folder without a flag the module does not pass
        fd = -1;
    }
    if (fd < 0)
        return INVALID_HANDLE_VALUE;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    ++s.openFiles;
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd) + 1);
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

BOOL CloseHandle(HANDLE handle)
{
    InCall inCall;
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
    struct stat st;
    if (stat(path, &st) != 0)
        return INVALID_FILE_ATTRIBUTES;
    return S_ISDIR(st.st_mode) ? 0x10 : 0x80; // FILE_ATTRIBUTE_DIRECTORY or FILE_ATTRIBUTE_NORMAL
}

BOOL IsProcessorFeaturePresent(DWORD feature)
{
    InCall inCall;
    State& s = TheState();
    std::lock_guard<std::mutex> guard(s.lock);
    return feature == PF_XMMI64_INSTRUCTIONS_AVAILABLE && s.sse2;
}
