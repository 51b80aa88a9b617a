#include "explain.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "../../src/player/check_player.h"
#include "../../src/player/messages.h"
#include "../player/message_names.h"
#include "../../src/trackinfo/file_tag.h"
#include "../../src/trackinfo/list_entry.h"
#include "../../src/trackinfo/location/playlist_path.h"
#include "../../src/trackinfo/location/program_folder.h"
#include "../../src/trackinfo/location/settings_folder.h"

namespace {

std::string Utf8(const WCHAR* wide)
{
    char out[8192];
    return WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, sizeof out, nullptr, nullptr) > 0 ? out : "";
}


const char* StateName(int state)
{
    switch (state) {
    case PLAY_STATE_PLAYING: return "playing";
    case PLAY_STATE_PAUSED: return "paused";
    case 0: return "stopped";
    default: return "not playing";
    }
}

const char* ChoiceName(WindowChoice choice)
{
    switch (choice) {
    case WindowChoice::Playing: return "the first that plays";
    case WindowChoice::Paused: return "none plays: the paused one of the highest version";
    case WindowChoice::Stopped: return "none plays or is paused: the stopped one of the highest version";
    case WindowChoice::FirstFound: return "none is recent enough: the first found, which answers ERR 2";
    default: return "";
    }
}

void PrintProgram(const PlayerProgram& program)
{
    if (!program.asked)
        std::printf("its process cannot be asked");
    else
        std::printf("%s", Utf8(program.path).c_str());
    std::printf(" (%s)\n", program.is64 ? "64-bit" : "32-bit");
}

// Why a window did not answer, from what the system said of the message.
std::string NoAnswer(const SeenWindow& seen)
{
    switch (seen.error) {
    case ERROR_ACCESS_DENIED:
        return "the system refused the message (error 5): the player runs with more rights than this "
               "program, as an administrator; run both at the same level";
    case ERROR_INVALID_WINDOW_HANDLE: return "the window is gone";
    case ERROR_TIMEOUT:
        return IsHungAppWindow(seen.window) ? "the window is hung: it has not handled messages for 5 seconds"
                                            : "no answer in time: the window is busy";
    default: return "no answer (error " + std::to_string(seen.error) + ")";
    }
}

void PrintWindow(int index, const SeenWindow& seen, bool asked)
{
    // Read as DISPNAME reads it; a window that does not answer at once shows none.
    WCHAR title[1024] = {0};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(seen.window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(title), SMTO_ABORTIFHUNG, 500, &got);
    std::printf("  %d. window %p, %s\n", index + 1, static_cast<void*>(seen.window),
                IsWindowVisible(seen.window) ? "visible" : "hidden");
    std::printf("     title: %s\n", Utf8(title).c_str());
    if (!asked)
        std::printf("     not asked by a call: a window found before it plays\n");
    else if (!seen.versionAnswered)
        std::printf("     version: %s\n", NoAnswer(seen).c_str());
    else if (seen.version < MIN_PLAYER_VERSION)
        std::printf("     version 0x%X: older than 0x%X\n", seen.version, MIN_PLAYER_VERSION);
    else if (!seen.stateAnswered)
        std::printf("     version 0x%X, play state: %s\n", seen.version, NoAnswer(seen).c_str());
    else
        std::printf("     version 0x%X, play state %d (%s)\n", seen.version, seen.playState, StateName(seen.playState));
    PlayerProgram program;
    LearnPlayerProgram(seen.window, program);
    std::printf("     program: ");
    PrintProgram(program);
}

// What LISTTITLE and LISTFILE would read of the current entry, by the module's own reader.
void ExplainListEntry(HWND window, LPARAM query, const char* name, size_t units)
{
    PlayerLink link{window, GetTickCount(), false};
    WCHAR text[PLAYER_FILE_UNITS];
    EntryRead read;
    ReadListEntry(link, HostNumber{false, false, 0.0}, query, text, units, &read);
    std::printf("%s of the current entry:\n", name);
    if (read.index < 0) {
        std::printf("  the playlist is empty, or the player did not answer: nothing to read\n");
        return;
    }
    if (!read.opened) {
        std::printf("  entry %d; the player's process cannot be opened for reading (error %lu)%s\n", read.index + 1,
                    static_cast<unsigned long>(read.error),
                    read.error == ERROR_ACCESS_DENIED ? ": it runs with more rights than this program; run both at "
                                                        "the same level"
                                                      : "");
        return;
    }
    std::printf("  entry %d; the player's process (%s) opened for reading\n", read.index + 1,
                read.is64 ? "64-bit" : "32-bit");
    if (!read.asked) {
        std::printf("  a 64-bit player's pointers do not fit this 32-bit module: nothing is asked; use the 64-bit "
                    "tolbry.dll\n");
        return;
    }
    uint64_t address = PlayerAddress(read.answer, read.is64);
    std::printf("  %s answered 0x%llX", MessageName(WM_USER, 0, query),
                static_cast<unsigned long long>(static_cast<ULONG_PTR>(read.answer)));
    if (address == 0)
        std::printf(", which is no pointer: no text (programs that imitate the player answer 0)\n");
    else if (!read.read)
        std::printf(", the text at 0x%llX: it cannot be read (error %lu)\n", static_cast<unsigned long long>(address),
                    static_cast<unsigned long>(read.readError));
    else
        std::printf(", the text at 0x%llX: read, %s\n", static_cast<unsigned long long>(address), Utf8(text).c_str());
}

// Which way FILETAG reaches the player's tags, by the module's own routes, asking the title.
void ExplainFileTag(HWND window, int version)
{
    PlayerLink link{window, GetTickCount(), false};
    const WCHAR name[] = {'t', 'i', 't', 'l', 'e', 0};
    WCHAR tag[FILE_TAG_UNITS];
    TagRecord r;
    ReadFileTag(link, version, name, tag, &r);
    std::printf("FILETAG (asking the title):\n");
    if (!r.replyWindow) {
        std::printf("  no window for the player's reply could be made: none\n");
        return;
    }
    if (r.route == TagRoute::Reply) {
        std::printf("  by reply: the player replied with the file%s, %s\n",
                    r.tagReplied ? " and the tag" : " but not with the tag",
                    r.tagReplied ? Utf8(tag).c_str() : "so the answer is empty");
        return;
    }
    if (!r.fileAnswered) {
        std::printf("  none: the request for the current file got no answer in time (%s)\n",
                    link.error == ERROR_ACCESS_DENIED ? "error 5: the player runs with more rights" : "it is busy or hung");
        return;
    }
    std::printf("  no reply by message (the request answered %lld)", static_cast<long long>(r.fileAnswer));
    if (r.fileAnswer != 0) {
        std::printf(": none\n");
        return;
    }
    if (version < MIN_TAG_BLOCK_VERSION) {
        std::printf("; version 0x%X is an imitation's, which has no request block: none\n", version);
        return;
    }
    if (!r.opened) {
        std::printf("; the player's process cannot be opened to read and write (error %lu)%s: none\n",
                    static_cast<unsigned long>(r.openError),
                    r.openError == ERROR_ACCESS_DENIED ? ", it runs with more rights than this program" : "");
        return;
    }
    if (!r.pointersFit) {
        std::printf("; a 64-bit player's request block this 32-bit module cannot address: none\n");
        return;
    }
    if (r.route != TagRoute::Memory) {
        std::printf("; its current file could not be read from its memory: none\n");
        return;
    }
    std::printf("; through the request block in its memory: %s\n",
                r.block == BlockFate::Freed      ? ("answered in time, the block freed: " + Utf8(tag)).c_str()
                : r.block == BlockFate::LeftHeld ? "no answer in time: the block is left to the player, which may still write it"
                                                 : "the block could not be made");
}

} // namespace

int Explain()
{
    PlayerLink link{nullptr, GetTickCount(), false};
    PlayerSearch search;
    CheckPlayer(link, &search, true);
    std::printf("Windows of class \"%s\", in the order the system finds them (at most %d):\n", PLAYER_WINDOW_CLASS,
                PLAYER_WINDOWS_MAX);
    if (search.count == 0)
        std::printf("  none: every command answers ERR 1\n");
    // A call looks no further than the first window that plays.
    for (int i = 0; i < search.count; ++i)
        PrintWindow(i, search.seen[i], search.choice != WindowChoice::Playing || i <= search.used);
    if (search.used < 0)
        return 0;
    std::printf("A call uses window %d: %s.\n", search.used + 1, ChoiceName(search.choice));
    if (search.choice != WindowChoice::FirstFound) {
        ExplainListEntry(link.window, QUERY_LIST_TITLE, "LISTTITLE", PLAYER_TITLE_UNITS);
        ExplainListEntry(link.window, QUERY_LIST_FILE, "LISTFILE", PLAYER_FILE_UNITS);
        if (search.choice == WindowChoice::Playing)
            ExplainFileTag(link.window, search.seen[search.used].version);
    }

    PlayerProgram program;
    LearnPlayerProgram(link.window, program);
    WCHAR folder[PATH_BUFFER];
    ProgramFrom from = FindProgramFolder(program, folder);
    if (from == ProgramFrom::Nowhere) {
        std::printf("Program folder: none, neither from the window's process nor from the file association:\n"
                    "FILENAME answers the empty text.\n");
        return 0;
    }
    std::printf("Program folder: %s\n  from %s\n", Utf8(folder).c_str(),
                from == ProgramFrom::Process ? "the program that owns the window"
                                             : "the file association, as the window's process cannot be asked");
    std::string ini = Utf8(folder) + "paths.ini";
    WCHAR settings[PATH_BUFFER];
    SettingsChoice choice;
    switch (ReadSettingsFolder(folder, program.is64, settings, &choice)) {
    case SettingsFrom::Folder:
        std::printf("paths.ini: %s\n  %s=%s, which is %s\n", ini.c_str(), choice.key, Utf8(choice.value).c_str(),
                    Utf8(settings).c_str());
        break;
    case SettingsFrom::Unusable:
        if (choice.key != nullptr)
            std::printf("paths.ini: %s\n  %s=%s names no folder that can be used: %s.\n", ini.c_str(), choice.key,
                        Utf8(choice.value).c_str(), choice.why);
        else
            std::printf("paths.ini: %s\n  %s (error %lu).\n", ini.c_str(), choice.why,
                        static_cast<unsigned long>(choice.error));
        std::printf("FILENAME answers the empty text rather than a playlist the player may not use.\n");
        return 0;
    case SettingsFrom::ProgramFolder:
        std::printf("paths.ini: %s\n  missing, or without m3udir or inidir: the program folder counts\n", ini.c_str());
        break;
    }
    WCHAR path[PATH_BUFFER];
    if (!GetPlaylistPath(path, program)) {
        std::printf("Playlist: none, the path would be too long\n");
        return 0;
    }
    bool exists = GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
    std::printf("Playlist: %s\n  %s\n", Utf8(path).c_str(),
                exists ? "exists; FILENAME has the player write it afresh and reads it"
                       : "does not exist yet; FILENAME has the player write it, then reads it");
    // A folder name that is no 8.3 name has a short form of its own only where the volume keeps them.
    WCHAR shortForm[PATH_BUFFER];
    DWORD got = GetShortPathNameW(folder, shortForm, PATH_BUFFER);
    bool keepsShortNames = got > 0 && got < PATH_BUFFER && lstrcmpiW(shortForm, folder) != 0;
    std::printf("  An entry whose name does not fit the ANSI code page (%u) comes to an 8-bit host as its short "
                "(8.3) path%s\n",
                GetACP(),
                keepsShortNames ? "." : ", where its volume keeps short names; the program folder's volume may keep "
                                        "none (its short form is its long one): then as the playlist's line, with ?.");
    return 0;
}
