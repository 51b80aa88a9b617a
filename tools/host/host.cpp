// tolbry-host [--dll PATH] COMMAND [TEXT]
// Loads tolbry.dll (from beside this program unless --dll names another), calls COMMAND with a
// 1024-byte buffer holding TEXT and prints the answer.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <string>

namespace {

typedef int(WINAPI* Command)(DWORD, DWORD, char*, DWORD, DWORD, DWORD);

const char* const COMMANDS[] = {"DISPNAME",  "FILEINFO",  "FILENAME", "TRACKLAST",
                                "TRACKNEXT", "TRACKPAUSE", "TRACKPLAY", "TRACKSTOP"};

int Usage()
{
    std::fprintf(stderr, "usage: tolbry-host [--dll PATH] COMMAND [TEXT]\ncommands:");
    for (const char* c : COMMANDS)
        std::fprintf(stderr, " %s", c);
    std::fprintf(stderr, "\n");
    return 2;
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

} // namespace

int main(int argc, char** argv)
{
    int i = 1;
    std::string dll;
    if (i + 1 < argc && std::strcmp(argv[i], "--dll") == 0) {
        dll = argv[i + 1];
        i += 2;
    }
    if (i >= argc || argc - i > 2)
        return Usage();
    const char* name = argv[i];
    bool known = false;
    for (const char* c : COMMANDS)
        known = known || std::strcmp(c, name) == 0;
    if (!known) {
        std::fprintf(stderr, "tolbry-host: unknown command '%s'\n", name);
        return Usage();
    }
    const char* text = i + 1 < argc ? argv[i + 1] : "";
    if (std::strlen(text) > 1023) {
        std::fprintf(stderr, "tolbry-host: TEXT is longer than 1023 characters\n");
        return 2;
    }

    if (dll.empty())
        dll = BesideThisProgram("tolbry.dll");
    HMODULE module = LoadLibraryA(dll.c_str());
    if (module == nullptr) {
        std::fprintf(stderr, "tolbry-host: cannot load %s (error %lu)\n", dll.c_str(), GetLastError());
        return 3;
    }
    Command command = reinterpret_cast<Command>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (command == nullptr) {
        std::fprintf(stderr, "tolbry-host: %s does not export %s\n", dll.c_str(), name);
        FreeLibrary(module);
        return 3;
    }
    char data[1024];
    std::strcpy(data, text);
    int result = command(0, 0, data, 0, 0, 0);
    FreeLibrary(module);

    // The answer goes out byte for byte; a line from the playlist brings its own line feed.
    _setmode(_fileno(stdout), _O_BINARY);
    size_t n = std::strlen(data);
    std::fwrite(data, 1, n, stdout);
    if (n == 0 || data[n - 1] != '\n')
        std::fputc('\n', stdout);
    return result == 3 ? 0 : 4;
}
