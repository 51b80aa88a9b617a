#include "player_window.h"

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "../../src/player/messages.h"
#include "message_names.h"

namespace {

// Paths and titles are kept in UTF-8, and converted as the player converts them where it writes ANSI.
struct Entry {
    std::string path;
    std::string title;
    int length;
    bool played = false; // the player has read its tags: it gets an #EXTINF line
    int rating = 0;
    int bitrate = 320;   // kbps
    int sampleRate = 44; // kHz
    int channels = 2;
};

struct Received {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

struct Player {
    PlayerOptions options;
    std::vector<Entry> playlist;
    int position = 0;     // the playlist's current entry
    int loaded = 0;       // the track playing or paused
    int playState = 1;
    int version = 0x5092;
    bool real = false;
    int writeMode = WRITE_ALWAYS;
    bool changed = true;  // since the playlist file was last written
    int writes = 0;
    int lengthOverride = 0;
    bool hasLengthOverride = false;
    std::string titleOverride;
    bool vanish = false;
    int slowMs = 0;
    int hangAfter = -1;
    HANDLE release = nullptr;
    int scrollStep = -1;  // -1: the plain title
    std::string settingsFolder; // the folder paths.ini names, as this process expands it; empty: none
    std::vector<Received> received;
    bool settled = true;  // recording: false while a window just shown waits for the desktop's read
    int elapsedMs = 0;    // where the loaded track plays; the stand-in's time stands still
    int volume = 186;     // 0-255, kept in 8 bits as the player keeps it
    int shuffle = 0;
    int repeat = 0;
    bool imitation = false;
    bool older = false;
    int slowTagsMs = 0;
    WCHAR* strings = nullptr; // the one buffer the string requests share
};

// The tag names the player's decoders know.
const char* const KNOWN_TAGS[] = {"title", "artist", "album", "albumartist", "year", "genre", "track", "disc",
                                  "comment", "composer", "publisher", "bpm", "rating", "streamtitle", "streamname"};

// Albums and years of the built-in playlist, by title.
struct Release {
    const char* title;
    const char* album;
    const char* year;
};
const Release RELEASES[] = {{"Alder Quay - Morning Ferry", "Tidewater", "2016"},
                            {"Brindle - Salt Roads", "Salt Roads", "2011"},
                            {"Copper Lantern - Night Tram", "Harbour Lights", "2019"},
                            {"Dunmore Strings - Low Tide", "Estuary", "2008"},
                            {"Ember Choir - Last Light", "Vespers", "2021"}};

// The player's string buffer, its limits and where it lies.
constexpr size_t STRING_UNITS = 1040;
constexpr size_t TITLE_CUT = 399;
constexpr size_t FILE_CUT = 1039;
constexpr SIZE_T STRING_REGION = 65536;

constexpr UINT_PTR SCROLL_TIMER = 1;
constexpr UINT_PTR SETTLE_TIMER = 2;
// The desktop reads a shown window's title within this; a window it never reads starts recording then.
constexpr UINT SETTLE_MS = 1500;

// One player a process, as with the real one.
Player* ThePlayer = nullptr;

const Entry SAMPLE[] = {
    {"C:\\Music\\Alder Quay - Morning Ferry.mp3", "Alder Quay - Morning Ferry", 245, false, 4, 320, 44, 2},
    {"C:\\Music\\Brindle - Salt Roads.mp3", "Brindle - Salt Roads", 198, false, 0, 192, 48, 2},
    {"C:\\Music\\Copper Lantern - Night Tram.mp3", "Copper Lantern - Night Tram", 312, false, 5, 256, 44, 2},
    {"C:\\Music\\Dunmore Strings - Low Tide.mp3", "Dunmore Strings - Low Tide", 187, false, 2, 128, 22, 1},
    {"C:\\Music\\Ember Choir - Last Light.mp3", "Ember Choir - Last Light", 276, false, 3, 1411, 44, 2},
};

std::string TitleFromPath(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string Convert(const std::string& text, UINT from, UINT to)
{
    if (text.empty())
        return text;
    std::vector<WCHAR> wide(text.size() + 1);
    int n = MultiByteToWideChar(from, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    std::vector<char> out(static_cast<size_t>(n) * 4 + 1);
    // As the player converts: WideCharToMultiByte with no flags, so "?" or a look-alike for what does
    // not fit the code page.
    int m = WideCharToMultiByte(to, 0, wide.data(), -1, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
    return m > 0 ? std::string(out.data()) : std::string();
}

std::string Utf8(const WCHAR* wide)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> out(static_cast<size_t>(n > 0 ? n : 1));
    return n > 0 && WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr) > 0 ? out.data() : "";
}

std::string Ansi(const std::string& utf8)
{
    return Convert(utf8, CP_UTF8, CP_ACP);
}

void LoadPlaylist(Player& p, const std::string& file)
{
    bool utf8 = ReadsAsUtf8(file);
    std::FILE* f = std::fopen(file.c_str(), "rt");
    if (f == nullptr) {
        std::fprintf(stderr, "standin-player: cannot read %s; using the built-in playlist\n", file.c_str());
        p.playlist.assign(std::begin(SAMPLE), std::end(SAMPLE));
        return;
    }
    char line[4096];
    int length = -1;
    std::string title;
    bool first = true;
    while (std::fgets(line, sizeof line, f)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        std::string text = line;
        if (first && utf8 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
            text.erase(0, 3);
        first = false;
        if (!utf8)
            text = Convert(text, CP_ACP, CP_UTF8);
        std::strcpy(line, text.c_str());
        if (std::strncmp(line, "#EXTINF:", 8) == 0) {
            char* comma = std::strchr(line + 8, ',');
            length = std::atoi(line + 8);
            title = comma ? comma + 1 : "";
        } else if (line[0] != '#' && line[0] != '\0') {
            p.playlist.push_back({line, title.empty() ? TitleFromPath(line) : title, length});
            length = -1;
            title.clear();
        }
    }
    std::fclose(f);
}

bool HasTrack(const Player& p, int index)
{
    return index >= 0 && index < static_cast<int>(p.playlist.size());
}

std::string Caption(const Player& p)
{
    if (!p.titleOverride.empty())
        return p.titleOverride;
    int shown = p.playState == 0 ? p.position : p.loaded;
    if (!HasTrack(p, shown))
        return "Winamp";
    std::string title = std::to_string(shown + 1) + ". " + p.playlist[shown].title + " - Winamp";
    if (p.real && p.playState == 3)
        title += " [Paused]";
    if (p.real && p.playState == 0)
        title += " [Stopped]";
    return title;
}

std::wstring Wide(const std::string& utf8)
{
    std::vector<WCHAR> wide(utf8.size() + 1);
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    return n > 0 ? std::wstring(wide.data()) : std::wstring();
}

// The window text, in UTF-16 as the player keeps it; it scrolls by UTF-16 units, as the player's does.
std::wstring Title(const Player& p)
{
    std::wstring caption = Wide(Caption(p));
    return p.scrollStep < 0 ? caption : ScrolledTitle(caption, static_cast<size_t>(p.scrollStep));
}

// Folders are kept in UTF-8, as the player, a Unicode program, keeps them whole: the options give
// them in the ANSI code page.
std::string PlaylistFolder(const Player& p)
{
    if (!p.options.ownFolder.empty())
        return Convert(p.options.ownFolder, CP_ACP, CP_UTF8);
    return p.settingsFolder.empty() ? Convert(p.options.folder, CP_ACP, CP_UTF8) : p.settingsFolder;
}

// The folder that paths.ini beside the program names, m3udir before inidir, as the player reads it
// with the profile functions' UTF-16 form; empty when it names none.
std::string FolderFromPathsIni(const std::string& program)
{
    std::wstring ini = Wide(program + "\\paths.ini");
    WCHAR value[4096] = L"";
    for (const WCHAR* key : {L"m3udir", L"inidir"})
        if (value[0] == 0)
            GetPrivateProfileStringW(L"Winamp", key, L"", value, 4096, ini.c_str());
    if (value[0] == 0)
        return std::string();
    std::string folder = ExpandInThisProcess(Utf8(value));
    bool absolute = folder.size() > 1 && (folder[1] == ':' || folder[0] == '\\');
    return absolute ? folder : program + "\\" + folder;
}

// The real player writes both files, CR LF line ends, an #EXTINF line only for entries it has played;
// the plain stand-in writes WINAMP.m3u alone, with #EXTINF lines throughout.
void WritePlaylist(Player& p)
{
    for (bool utf8 : {false, true}) {
        if (utf8 && !p.real)
            break;
        std::string file = PlaylistFolder(p) + (utf8 ? "\\WINAMP.m3u8" : "\\WINAMP.m3u");
        std::FILE* f = _wfopen(Wide(file).c_str(), L"wb");
        if (f == nullptr)
            continue;
        std::fputs(utf8 ? "\xEF\xBB\xBF#EXTM3U\r\n" : "#EXTM3U\r\n", f);
        for (const Entry& e : p.playlist) {
            if (e.played || !p.real)
                std::fprintf(f, "#EXTINF:%d,%s\r\n", e.length, (utf8 ? e.title : Ansi(e.title)).c_str());
            std::fprintf(f, "%s\r\n", (utf8 ? e.path : Ansi(e.path)).c_str());
        }
        std::fclose(f);
    }
    p.changed = false;
    ++p.writes;
}

void Load(Player& p, int index)
{
    if (index != p.loaded)
        p.elapsedMs = 0;
    p.loaded = index;
    if (HasTrack(p, index))
        p.playlist[index].played = true;
}

LRESULT AnswerControl(Player& p, WPARAM w, LPARAM l, HWND window)
{
    int value = static_cast<int>(w);
    auto at = [&p](WPARAM i) -> const Received* { return i < p.received.size() ? &p.received[i] : nullptr; };
    switch (l) {
    case CTL_SET_VERSION: p.version = value; return 1;
    case CTL_SET_PLAY_STATE: p.playState = value; return 1;
    case CTL_SET_REAL: p.real = value != 0; return 1;
    case CTL_SET_WRITE_MODE: p.writeMode = value; return 1;
    case CTL_FORCE_POSITION: p.position = value; Load(p, value); return 1;
    case CTL_EDIT_PLAYLIST:
        p.playlist.push_back({"C:\\Music\\Added " + std::to_string(p.playlist.size() + 1) + ".mp3",
                              "Added - Track " + std::to_string(p.playlist.size() + 1), 200});
        p.changed = true;
        return 1;
    case CTL_LOG_CLEAR: p.received.clear(); return 1;
    case CTL_LOG_COUNT: return static_cast<LRESULT>(p.received.size());
    case CTL_LOG_MSG: return at(w) ? at(w)->msg : -1;
    case CTL_LOG_WPARAM: return at(w) ? static_cast<LRESULT>(at(w)->wParam) : -1;
    case CTL_LOG_LPARAM: return at(w) ? at(w)->lParam : -1;
    case CTL_GET_POSITION: return p.position;
    case CTL_GET_LOADED: return p.loaded;
    case CTL_GET_PLAY_STATE: return p.playState;
    case CTL_WRITES: return p.writes;
    case CTL_SET_LENGTH: p.lengthOverride = value; p.hasLengthOverride = true; return 1;
    case CTL_QUIT: DestroyWindow(window); return 1;
    case CTL_VANISH: p.vanish = true; return 1;
    case CTL_SET_SLOW: p.slowMs = value; return 1;
    case CTL_HANG_AFTER: p.hangAfter = value; return 1;
    case CTL_SETTLED: return p.settled ? 1 : 0;
    case CTL_SET_ELAPSED: p.elapsedMs = value; return 1;
    case CTL_GET_VOLUME: return p.volume;
    case CTL_SET_VOLUME: p.volume = value; return 1;
    case CTL_SET_SWITCHES: p.shuffle = value & 1; p.repeat = (value >> 1) & 1; return 1;
    case CTL_SET_IMITATION: p.imitation = value != 0; return 1;
    case CTL_SET_OLDER: p.older = value != 0; return 1;
    case CTL_SET_SLOW_TAGS: p.slowTagsMs = value; return 1;
    case CTL_GET_LENGTH: return static_cast<LRESULT>(p.playlist.size());
    case CTL_GET_STRINGS: return static_cast<LRESULT>(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(p.strings)));
    case CTL_SCROLL_TO:
        p.scrollStep = value;
        KillTimer(window, SCROLL_TIMER);
        return 1;
    }
    return 0;
}

LRESULT AnswerQuery(Player& p, WPARAM w, LPARAM l)
{
    switch (l) {
    case QUERY_VERSION:
        return p.version;
    case QUERY_PLAY_STATE:
        return p.playState;
    case QUERY_TRACK_LENGTH:
        if (w == ELAPSED_IN_MILLISECONDS)
            return p.playState == 0 ? -1 : p.elapsedMs;
        if (p.hasLengthOverride)
            return p.lengthOverride;
        return HasTrack(p, p.loaded) ? p.playlist[p.loaded].length : -1;
    case JUMP_TO_TIME:
        if (p.playState == 0 || !HasTrack(p, p.loaded))
            return -1;
        p.elapsedMs = static_cast<int>(w) < 0 ? 0 : static_cast<int>(w);
        return 0;
    case SET_VOLUME:
        if (static_cast<int>(w) == VOLUME_ASKED)
            return p.volume;
        p.volume = static_cast<int>(w) & 0xFF; // unclamped: 256 mutes it
        return 0;
    case QUERY_LIST_LENGTH:
        return static_cast<LRESULT>(p.playlist.size());
    case QUERY_LIST_POS:
        return HasTrack(p, p.position) ? p.position : 0;
    case QUERY_TRACK_INFO: {
        if (!HasTrack(p, p.loaded))
            return 0;
        const Entry& e = p.playlist[p.loaded];
        return w == TRACK_INFO_BITRATE ? e.bitrate : w == TRACK_INFO_SAMPLE_RATE ? e.sampleRate
                                                   : w == TRACK_INFO_CHANNELS   ? e.channels
                                                                                : 0;
    }
    case QUERY_LIST_TITLE:
    case QUERY_LIST_FILE: {
        if (p.imitation || !HasTrack(p, static_cast<int>(w)) || p.strings == nullptr)
            return 0;
        const Entry& e = p.playlist[w];
        std::wstring text = Wide(l == QUERY_LIST_TITLE ? e.title : e.path);
        size_t cut = l == QUERY_LIST_TITLE ? TITLE_CUT : FILE_CUT;
        if (text.size() > cut)
            text.resize(cut);
        // At the buffer's end, which is the region's: nothing readable follows the zero.
        WCHAR* at = p.strings + STRING_UNITS - (text.size() + 1);
        std::memcpy(at, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
        return reinterpret_cast<LRESULT>(at);
    }
    case QUERY_SHUFFLE:
        return p.shuffle;
    case QUERY_REPEAT:
        return p.repeat;
    case SET_SHUFFLE:
    case SET_REPEAT: {
        // Acts only when the value differs, as the player does.
        int& state = l == SET_SHUFFLE ? p.shuffle : p.repeat;
        if ((w != 0 ? 1 : 0) != state)
            state = w != 0 ? 1 : 0;
        return 1;
    }
    case QUERY_RATING:
        return HasTrack(p, p.position) ? p.playlist[p.position].rating : 0;
    case SET_RATING: {
        // Without a media library the player writes the file's tag and answers 0.
        int rating = static_cast<int>(w);
        if (HasTrack(p, p.position))
            p.playlist[p.position].rating = rating < 0 ? 0 : rating > 5 ? 5 : rating;
        return 0;
    }
    case WRITE_PLAYLIST:
        if (p.writeMode == WRITE_ALWAYS || (p.writeMode == WRITE_AFTER_CHANGE && p.changed))
            WritePlaylist(p);
        if (p.real && p.playlist.empty())
            return -1;
        return p.position;
    case SET_PLAYLIST_POS:
        if (HasTrack(p, static_cast<int>(w)))
            p.position = static_cast<int>(w);
        return 0;
    }
    return 0;
}

void Command(Player& p, WPARAM command)
{
    int last = static_cast<int>(p.playlist.size()) - 1;
    switch (command) {
    case CMD_PREVIOUS:
    case CMD_NEXT:
        p.position += command == CMD_NEXT ? 1 : -1;
        if (p.position > last)
            p.position = last;
        if (p.position < 0)
            p.position = 0;
        if (p.playState != 0)
            Load(p, p.position);
        break;
    case CMD_PLAY:
        // The real player resumes a paused track, whatever position was selected meanwhile.
        if (!(p.real && p.playState == 3))
            Load(p, p.position);
        p.playState = 1;
        break;
    case CMD_PAUSE:
        if (p.playState == 1)
            p.playState = 3;
        else if (p.playState == 3)
            p.playState = 1;
        break;
    case CMD_STOP:
        p.playState = 0;
        break;
    }
}

// The tag `name` of the entry whose file is `file`, in UTF-8; false when the decoder does not know
// the name (the text is then empty too).
bool TagOf(const Player& p, const std::wstring& file, const std::wstring& name, std::string& tag)
{
    tag.clear();
    std::string key = Utf8(name.c_str());
    bool known = false;
    for (const char* k : KNOWN_TAGS)
        known = known || key == k;
    if (!known)
        return false;
    for (size_t i = 0; i < p.playlist.size(); ++i) {
        const Entry& e = p.playlist[i];
        if (Wide(e.path) != file)
            continue;
        size_t dash = e.title.find(" - ");
        if (key == "artist")
            tag = dash == std::string::npos ? "" : e.title.substr(0, dash);
        else if (key == "title")
            tag = dash == std::string::npos ? e.title : e.title.substr(dash + 3);
        else if (key == "track")
            tag = std::to_string(i + 1);
        else if (key == "genre")
            tag = "Indie";
        for (const Release& r : RELEASES)
            if (e.title == r.title && (key == "album" || key == "year"))
                tag = key == "album" ? r.album : r.year;
        break;
    }
    return true;
}

// The reply the player sends the caller's window while it handles the request.
LRESULT Reply(HWND window, HWND to, ULONG_PTR request, const void* data, DWORD bytes)
{
    COPYDATASTRUCT reply = {request, bytes, const_cast<void*>(data)};
    return SendMessageW(to, WM_COPYDATA, reinterpret_cast<WPARAM>(window), reinterpret_cast<LPARAM>(&reply));
}

LRESULT AnswerReplyRequest(Player& p, HWND window, HWND to, const COPYDATASTRUCT* copy)
{
    if (p.imitation || p.older || to == nullptr)
        return 0;
    if (copy->dwData == REPLY_CURRENT_FILE) {
        std::wstring file = HasTrack(p, p.loaded) ? Wide(p.playlist[p.loaded].path) : std::wstring();
        return Reply(window, to, REPLY_CURRENT_FILE, file.c_str(), static_cast<DWORD>((file.size() + 1) * sizeof(WCHAR)));
    }
    std::vector<WCHAR> answer(FILE_TAG_UNITS, 0);
    if (copy->lpData != nullptr && copy->cbData >= 2 * sizeof(WCHAR)) {
        std::wstring data(static_cast<const WCHAR*>(copy->lpData), copy->cbData / sizeof(WCHAR));
        size_t zero = data.find(L'\0');
        if (zero != std::wstring::npos) {
            std::wstring file = data.substr(0, zero);
            std::wstring name = data.substr(zero + 1);
            name.resize(std::wcslen(name.c_str()));
            std::string tag;
            TagOf(p, file, name, tag);
            std::wstring wide = Wide(tag);
            if (wide.size() > FILE_TAG_UNITS - 1)
                wide.resize(FILE_TAG_UNITS - 1);
            std::copy(wide.begin(), wide.end(), answer.begin());
        }
    }
    return Reply(window, to, REPLY_FILE_TAG, answer.data(), FILE_TAG_UNITS * sizeof(WCHAR));
}

// The request block, in this process's own width: {file, name, answer, its length}. The answer is
// zeroed first, the file's tags read, and the answer written last.
struct TagBlock {
    const WCHAR* file;
    const WCHAR* name;
    WCHAR* answer;
    size_t units;
};

LRESULT AnswerTagBlock(Player& p, WPARAM w)
{
    if (p.imitation || w == 0)
        return 0;
    const TagBlock* block = reinterpret_cast<const TagBlock*>(w);
    if (block->answer == nullptr || block->units == 0)
        return 0;
    std::memset(block->answer, 0, block->units * sizeof(WCHAR));
    std::string tag;
    bool known = TagOf(p, block->file, block->name, tag);
    if (p.slowTagsMs > 0)
        Sleep(static_cast<DWORD>(p.slowTagsMs));
    std::wstring wide = Wide(tag);
    if (wide.size() > block->units - 1)
        wide.resize(block->units - 1);
    std::memcpy(block->answer, wide.c_str(), (wide.size() + 1) * sizeof(WCHAR));
    return known ? 1 : 0;
}

bool IsUrl(const std::wstring& name)
{
    size_t colon = name.find(L"://");
    return colon != std::wstring::npos && colon >= 2;
}

void AddEntry(Player& p, const std::wstring& path)
{
    std::string utf8 = Utf8(path.c_str());
    p.playlist.push_back({utf8, TitleFromPath(utf8), 200});
    p.changed = true;
}

// What the player adds of a name: a URL, an existing file, or a folder's files; nothing else.
LRESULT AddFromCopy(Player& p, const COPYDATASTRUCT* copy)
{
    if (copy == nullptr || copy->dwData != ADD_TO_PLAYLIST || copy->cbData < sizeof(WCHAR))
        return 0;
    std::wstring name(static_cast<const WCHAR*>(copy->lpData), copy->cbData / sizeof(WCHAR) - 1);
    name.resize(std::wcslen(name.c_str()));
    DWORD attributes = GetFileAttributesW(name.c_str());
    if (IsUrl(name) || (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))) {
        AddEntry(p, name);
        return TRUE;
    }
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return TRUE; // the player answers TRUE and adds nothing
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((name + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files.push_back(name + L"\\" + found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    std::sort(files.begin(), files.end());
    for (const std::wstring& file : files)
        AddEntry(p, file);
    return TRUE;
}

bool IsControl(UINT msg, LPARAM l)
{
    return msg == WM_USER && l >= CTL_SET_VERSION && l <= CTL_LAST;
}

bool Recorded(const Player& p, UINT msg, LPARAM l)
{
    return p.settled &&
           (msg == WM_GETTEXT || msg == WM_COMMAND || msg == WM_COPYDATA || (msg == WM_USER && !IsControl(msg, l)));
}

void Settle(Player& p, HWND window)
{
    p.settled = true;
    p.received.clear();
    KillTimer(window, SETTLE_TIMER);
}

LRESULT CALLBACK PlayerProc(HWND window, UINT msg, WPARAM w, LPARAM l)
{
    Player* p = ThePlayer;
    if (p == nullptr)
        return DefWindowProcW(window, msg, w, l);
    bool recorded = Recorded(*p, msg, l);
    LPARAM kept = msg == WM_COPYDATA && l != 0 ? static_cast<LPARAM>(reinterpret_cast<const COPYDATASTRUCT*>(l)->dwData) : l;
    if (!p->settled && msg == WM_GETTEXT)
        Settle(*p, window); // the desktop's read, answered below and not recorded
    else if (recorded) {
        p->received.push_back({msg, w, kept});
        if (p->hangAfter == 0) {
            // Handles nothing, as a player stuck in a modal dialog or a stream that will not load.
            p->hangAfter = -1;
            if (p->options.verbose) {
                std::printf("player: %-18s received: hanging now\n", MessageName(msg, w, l));
                std::fflush(stdout);
            }
            WaitForSingleObject(p->release, 60000);
        } else if (p->hangAfter > 0) {
            --p->hangAfter;
        }
        if (p->slowMs > 0)
            Sleep(static_cast<DWORD>(p->slowMs));
    }

    LRESULT answer = 0;
    switch (msg) {
    case WM_USER:
        if (p->vanish && l == QUERY_VERSION) {
            // As if the window had gone between the module's search and its first message.
            p->vanish = false;
            DestroyWindow(window);
            return 0;
        }
        answer = IsControl(msg, l)       ? AnswerControl(*p, w, l, window)
                 : l == QUERY_FILE_TAG ? AnswerTagBlock(*p, w)
                                       : AnswerQuery(*p, w, l);
        break;
    case WM_COMMAND:
        Command(*p, w);
        break;
    case WM_COPYDATA: {
        const COPYDATASTRUCT* copy = reinterpret_cast<const COPYDATASTRUCT*>(l);
        if (copy != nullptr && (copy->dwData == REPLY_CURRENT_FILE || copy->dwData == REPLY_FILE_TAG))
            answer = AnswerReplyRequest(*p, window, reinterpret_cast<HWND>(w), copy);
        else
            answer = p->imitation ? 0 : AddFromCopy(*p, copy);
        break;
    }
    case WM_GETTEXT: {
        // A Unicode window: the system hands an 8-bit sender the text in its code page, with "?" for
        // what does not fit.
        std::wstring title = Title(*p);
        WCHAR* out = reinterpret_cast<WCHAR*>(l);
        size_t room = static_cast<size_t>(w);
        if (out == nullptr || room == 0)
            break;
        size_t n = title.size() < room - 1 ? title.size() : room - 1;
        std::memcpy(out, title.data(), n * sizeof(WCHAR));
        out[n] = 0;
        answer = static_cast<LRESULT>(n);
        break;
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(Title(*p).size());
    case WM_SETTEXT:
        p->titleOverride = l ? Utf8(reinterpret_cast<const WCHAR*>(l)) : "";
        return TRUE;
    case WM_TIMER:
        if (w == SETTLE_TIMER)
            Settle(*p, window);
        else
            ++p->scrollStep;
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, msg, w, l);
    }
    if (p->options.verbose && recorded) {
        const char* kind = msg == WM_USER      ? "WM_USER"
                           : msg == WM_COMMAND ? "WM_COMMAND"
                           : msg == WM_COPYDATA ? "WM_COPYDATA"
                                                : "WM_GETTEXT";
        if (msg == WM_USER && (l == QUERY_LIST_TITLE || l == QUERY_LIST_FILE))
            std::printf("player: %-18s (%s, wParam %ld) -> 0x%lx\n", MessageName(msg, w, kept), kind,
                        static_cast<long>(w), static_cast<unsigned long>(answer));
        else if (msg == WM_COPYDATA)
            std::printf("player: %-18s (%s, dwData %ld) -> %ld\n", MessageName(msg, w, kept), kind,
                        static_cast<long>(kept), static_cast<long>(answer));
        else
            std::printf("player: %-18s (%s, wParam %ld) -> %ld\n", MessageName(msg, w, kept), kind,
                        static_cast<long>(w), static_cast<long>(answer));
        std::fflush(stdout);
    }
    return answer;
}

} // namespace

HWND CreatePlayerWindow(const PlayerOptions& options)
{
    static Player player;
    if (player.release != nullptr)
        CloseHandle(player.release);
    player = Player();
    player.options = options;
    player.version = options.version;
    player.playState = options.playState;
    player.real = options.realPlayer;
    player.writeMode = options.realPlayer ? WRITE_AFTER_CHANGE : WRITE_ALWAYS;
    player.slowMs = options.slowMs;
    player.hangAfter = options.hangAfter;
    player.release = CreateEventA(nullptr, FALSE, FALSE, PLAYER_RELEASE_EVENT);
    player.imitation = options.imitation;
    player.older = options.older;
    player.slowTagsMs = options.slowTagsMs;
    static WCHAR* strings = nullptr;
    if (strings == nullptr) {
        BYTE* region = static_cast<BYTE*>(
            VirtualAlloc(nullptr, STRING_REGION, MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN, PAGE_READWRITE));
        if (region != nullptr)
            strings = reinterpret_cast<WCHAR*>(region + STRING_REGION) - STRING_UNITS;
    }
    player.strings = strings;
    if (options.playlist.empty())
        player.playlist.assign(std::begin(SAMPLE), std::end(SAMPLE));
    else
        LoadPlaylist(player, options.playlist);
    if (player.playState != 0)
        Load(player, 0);
    if (!options.ownFolder.empty()) {
        CreateDirectoryA(options.ownFolder.c_str(), nullptr);
    } else if (!options.settings.empty()) {
        // As a per-user installation leaves it: the settings, the playlist files with them, elsewhere.
        player.settingsFolder = ExpandInThisProcess(Convert(options.settings, CP_ACP, CP_UTF8));
        CreateDirectoryW(Wide(player.settingsFolder).c_str(), nullptr);
        if (std::FILE* f = std::fopen((options.folder + "\\paths.ini").c_str(), "wb")) {
            std::fprintf(f, "[Winamp]\r\ninidir=%s\r\n", options.settings.c_str());
            std::fclose(f);
        }
    } else {
        player.settingsFolder = FolderFromPathsIni(Convert(options.folder, CP_ACP, CP_UTF8));
    }
    ThePlayer = &player;

    // A Unicode window, as the player's is: its title keeps every character.
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PlayerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    const std::wstring className = Wide(PLAYER_WINDOW_CLASS);
    wc.lpszClassName = className.c_str();
    RegisterClassW(&wc); // fails harmlessly when a second window is made in the same process
    HWND window = CreateWindowW(wc.lpszClassName, L"Winamp", WS_OVERLAPPEDWINDOW, 0, 0, 275, 116, nullptr, nullptr,
                                wc.hInstance, nullptr);
    if (window != nullptr && options.scroll) {
        player.scrollStep = 0;
        SetTimer(window, SCROLL_TIMER, 200, nullptr);
    }
    if (window != nullptr && options.visible) {
        player.settled = false;
        SetTimer(window, SETTLE_TIMER, SETTLE_MS, nullptr);
        ShowWindow(window, SW_SHOWNOACTIVATE);
    }
    return window;
}

std::string ExpandInThisProcess(const std::string& value)
{
    // Shell32 only when asked for: a host that has not loaded it is what the benchmarks measure.
    typedef HRESULT(WINAPI * FolderPathFn)(HWND, int, HANDLE, DWORD, LPWSTR);
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        size_t close = value.find('}', i);
        if (value[i] == '{' && close != std::string::npos) {
            WCHAR folder[MAX_PATH] = L"";
            HMODULE shell = LoadLibraryA("shell32.dll");
            FolderPathFn folderPath =
                reinterpret_cast<FolderPathFn>(reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathW")));
            if (folderPath != nullptr)
                folderPath(nullptr, std::atoi(value.c_str() + i + 1), nullptr, 0, folder);
            FreeLibrary(shell);
            out += Utf8(folder);
            i = close;
        } else {
            out += value[i];
        }
    }
    WCHAR expanded[4096];
    DWORD n = ExpandEnvironmentStringsW(Wide(out).c_str(), expanded, 4096);
    return n > 0 && n <= 4096 ? Utf8(expanded) : out;
}

std::string OwnPlaylistFolder()
{
    return ThePlayer != nullptr ? PlaylistFolder(*ThePlayer) : std::string();
}

bool ReadsAsUtf8(const std::string& path)
{
    return path.size() >= 5 && _stricmp(path.c_str() + path.size() - 5, ".m3u8") == 0;
}

template <typename Text>
Text ScrolledTitle(const Text& caption, size_t step)
{
    const char* const separatorText = " *** ";
    const Text separator(separatorText, separatorText + 5);
    if (caption.empty())
        return caption;
    step %= caption.size() + 3;
    if (step < caption.size())
        return caption.substr(step) + separator + caption;
    return separator.substr(step - caption.size()) + caption + separator;
}

template std::string ScrolledTitle(const std::string&, size_t);
template std::wstring ScrolledTitle(const std::wstring&, size_t);

bool RegisterPlayerAssociation(const std::string& program)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, "Winamp.File\\shell\\Play\\command", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    std::string value = "\"" + program + "\" \"%1\"";
    LONG result = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}
