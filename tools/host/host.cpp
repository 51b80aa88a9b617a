// tolbry-host [--dll PATH] [--unicode] (COMMAND [TEXT] | -)
// tolbry-host --explain
// Loads tolbry.dll (from beside this program unless --dll names another), calls COMMAND with a
// 1024-byte buffer holding TEXT and prints the answer. With "-", it reads one "COMMAND [TEXT]" a line
// from standard input and answers each as it comes, so that one run takes many calls.
// --unicode makes the load-time call as a 7.77 host does, offering an 8192-byte buffer; when the DLL
// asks for UTF-16, answers are printed in UTF-8, and a line of standard input is read as UTF-8.
// --explain prints, in UTF-8, which window of the player's class a call uses and why, and where
// FILENAME looks for the playlist.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <string>

#include "../../src/commands/load_dll.h"
#include "explain.h"

namespace {

typedef int(WINAPI* Command)(DWORD, DWORD, void*, DWORD, DWORD, DWORD);

typedef void(WINAPI* LoadDllFn)(LOADINFO*);

constexpr DWORD UNICODE_HOST_VERSION = 7 | (77 << 16);
constexpr DWORD UNICODE_HOST_BYTES = 8192;

const char* const COMMANDS[] = {"DISPNAME",  "FILEINFO",  "FILENAME", "TRACKLAST", "TRACKNEXT", "TRACKPAUSE",
                                "TRACKPLAY", "TRACKSTOP", "FILEPOS",  "FILERATE",  "LISTINFO",  "TRACKSEEK",
                                "VOLUME",    "SHUFFLE",   "REPEAT",   "RATING",    "LISTTITLE", "LISTFILE",
                                "LISTADD",   "FILETAG",   "PLAYSTATE"};

int Usage()
{
    std::fprintf(stderr, "usage: tolbry-host [--dll PATH] [--unicode] (COMMAND [TEXT] | -)\n"
                         "       tolbry-host --explain\ncommands:");
    for (const char* c : COMMANDS)
        std::fprintf(stderr, " %s", c);
    std::fprintf(stderr, "\n");
    return 2;
}

bool Known(const std::string& name)
{
    for (const char* c : COMMANDS)
        if (name == c)
            return true;
    return false;
}

std::string BesideThisProgram(const char* name)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return name;
    std::string folder(path, n);
    return folder.substr(0, folder.rfind('\\') + 1) + name;
}

HMODULE Module = nullptr;
bool Unicode = false;

// Calls `name` with `text`, in `codePage` for a Unicode call, and prints its answer; the exit code
// the call deserves.
int Call(const std::string& name, const std::string& text, UINT codePage)
{
    if (!Known(name)) {
        std::fprintf(stderr, "tolbry-host: unknown command '%s'\n", name.c_str());
        return 2;
    }
    Command command = reinterpret_cast<Command>(reinterpret_cast<void*>(GetProcAddress(Module, name.c_str())));
    if (command == nullptr) {
        std::fprintf(stderr, "tolbry-host: the DLL does not export %s\n", name.c_str());
        return 3;
    }
    std::string answer;
    int result;
    if (Unicode) {
        WCHAR data[UNICODE_HOST_BYTES / sizeof(WCHAR)];
        if (MultiByteToWideChar(codePage, 0, text.c_str(), -1, data, 1024) == 0) {
            std::fprintf(stderr, "tolbry-host: TEXT is longer than 1023 characters, or not UTF-8\n");
            return 2;
        }
        result = command(0, 0, data, 0, 0, 0);
        char utf8[UNICODE_HOST_BYTES * 2];
        if (WideCharToMultiByte(CP_UTF8, 0, data, -1, utf8, sizeof utf8, nullptr, nullptr) > 0)
            answer = utf8;
    } else {
        if (text.size() > 1023) {
            std::fprintf(stderr, "tolbry-host: TEXT is longer than 1023 characters\n");
            return 2;
        }
        char data[1024];
        std::strcpy(data, text.c_str());
        result = command(0, 0, data, 0, 0, 0);
        answer = data;
    }
    // The answer goes out byte for byte; a line from the playlist brings its own line feed.
    std::fwrite(answer.data(), 1, answer.size(), stdout);
    if (answer.empty() || answer.back() != '\n')
        std::fputc('\n', stdout);
    std::fflush(stdout);
    return result == 3 ? 0 : 4;
}

// One call a line, "COMMAND [TEXT]"; the worst exit code of them all.
int CallEachLine()
{
    int worst = 0;
    char line[4096];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        std::string command = line;
        while (!command.empty() && (command.back() == '\n' || command.back() == '\r'))
            command.pop_back();
        size_t space = command.find(' ');
        std::string text = space == std::string::npos ? "" : command.substr(space + 1);
        int code = Call(command.substr(0, space), text, CP_UTF8);
        worst = code > worst ? code : worst;
    }
    return worst;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--explain") == 0) {
        _setmode(_fileno(stdout), _O_BINARY);
        return Explain();
    }
    int i = 1;
    std::string dll;
    for (; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dll") == 0 && i + 1 < argc)
            dll = argv[++i];
        else if (std::strcmp(argv[i], "--unicode") == 0)
            Unicode = true;
        else
            break;
    }
    if (i >= argc || argc - i > 2)
        return Usage();
    bool eachLine = std::strcmp(argv[i], "-") == 0;
    if (!eachLine && !Known(argv[i])) {
        std::fprintf(stderr, "tolbry-host: unknown command '%s'\n", argv[i]);
        return Usage();
    }

    if (dll.empty())
        dll = BesideThisProgram("tolbry.dll");
    Module = LoadLibraryA(dll.c_str());
    if (Module == nullptr) {
        std::fprintf(stderr, "tolbry-host: cannot load %s (error %lu)\n", dll.c_str(), GetLastError());
        return 3;
    }
    if (Unicode) {
        // A host of this version makes the call when the DLL has the export, and passes UTF-16 only
        // when the DLL asks for it.
        LoadDllFn loadDll = reinterpret_cast<LoadDllFn>(reinterpret_cast<void*>(GetProcAddress(Module, "LoadDll")));
        LOADINFO info = {UNICODE_HOST_VERSION, nullptr, TRUE, FALSE, 0, UNICODE_HOST_BYTES};
        if (loadDll != nullptr)
            loadDll(&info);
        Unicode = info.mUnicode != FALSE;
    }
    _setmode(_fileno(stdout), _O_BINARY);
    int code = eachLine ? CallEachLine() : Call(argv[i], i + 1 < argc ? argv[i + 1] : "", CP_ACP);
    FreeLibrary(Module);
    return code;
}
