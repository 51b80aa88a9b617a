// The stand-in player: a top-level window of the player's class that answers the player's messages,
// keeps a playlist and writes it as WINAMP.m3u on request. Tests and the demo drive the module
// against it, in the same process or in another one.
#pragma once

#include <windows.h>

#include <string>

struct PlayerOptions {
    std::string folder;       // the program's folder: paths.ini is read there, and WINAMP.m3u written
                              // there unless paths.ini says otherwise
    std::string settings;     // when set: paths.ini in `folder` names it, and the playlist files go where
                              // this process expands it to ({N} and %NAME% as the player has them)
    std::string ownFolder;    // when set: the playlist files go here and paths.ini is neither read nor
                              // written, as a program that imitates the player keeps them
    std::string playlist;     // an .m3u file to load; a small built-in playlist when empty
    bool visible = false;     // shown, as the player's window is; programs that imitate it hide theirs
    int version = 0x5092;
    int playState = 1;        // 1 playing, 3 paused, 0 stopped
    bool realPlayer = false;  // behave as the real player does where it differs from the plain answers
    bool verbose = false;     // print every message received on stdout
    int slowMs = 0;           // sleep this long in each of the player's messages
    int hangAfter = -1;       // handle this many of the player's messages, then stop handling any
    bool scroll = false;      // scroll the caption through the title every 200 ms
    bool imitation = false;   // answer 0 to the string requests and to WM_COPYDATA, as programs that
                              // imitate the player do
    bool older = false;       // no replies by message to the tag requests, as players before 5.9:
                              // only the request block in its memory
    int slowTagsMs = 0;       // read a file's tags this long before writing the request block's answer
};

// Behaviour of WRITE_PLAYLIST.
enum WriteMode : int {
    WRITE_ALWAYS = 0,         // write the file on every request
    WRITE_AFTER_CHANGE = 1,   // only when the playlist changed since it was last written (real player)
    WRITE_NEVER = 2,          // never: the file on disk stays whatever a test put there
};

// Controls, sent as WM_USER with these lParams. The stand-in answers them and keeps them out of the
// record of messages received, so tests can steer it from another process.
constexpr LPARAM CTL_SET_VERSION = 9000;    // wParam: the version to answer
constexpr LPARAM CTL_SET_PLAY_STATE = 9001; // wParam: 1 playing, 3 paused, 0 stopped
constexpr LPARAM CTL_SET_REAL = 9002;       // wParam: 1 real player behaviour, 0 plain
constexpr LPARAM CTL_SET_WRITE_MODE = 9003; // wParam: a WriteMode
constexpr LPARAM CTL_FORCE_POSITION = 9004; // wParam: any position, unchecked, also the track loaded
constexpr LPARAM CTL_EDIT_PLAYLIST = 9005;  // appends an entry, as a user's edit would
constexpr LPARAM CTL_LOG_CLEAR = 9006;
constexpr LPARAM CTL_LOG_COUNT = 9007;
constexpr LPARAM CTL_LOG_MSG = 9008;        // wParam: index into the record
constexpr LPARAM CTL_LOG_WPARAM = 9009;
constexpr LPARAM CTL_LOG_LPARAM = 9010;
constexpr LPARAM CTL_GET_POSITION = 9011;
constexpr LPARAM CTL_GET_LOADED = 9012;     // the track playing or paused
constexpr LPARAM CTL_GET_PLAY_STATE = 9013;
constexpr LPARAM CTL_WRITES = 9014;         // how often the playlist file was written
constexpr LPARAM CTL_SET_LENGTH = 9015;     // wParam: the length to answer, whatever the track
constexpr LPARAM CTL_QUIT = 9016;
constexpr LPARAM CTL_VANISH = 9017;         // the next version query destroys the window, answering 0
constexpr LPARAM CTL_SET_SLOW = 9018;       // wParam: milliseconds to sleep in each of the player's messages
constexpr LPARAM CTL_HANG_AFTER = 9019;     // wParam: handle this many more of the player's messages, then
                                            // hang in the next until PLAYER_RELEASE_EVENT is set
constexpr LPARAM CTL_SCROLL_TO = 9020;      // wParam: the scrolled title's step to show and keep, or -1
                                            // for the plain title
constexpr LPARAM CTL_SETTLED = 9021;        // 1 once the record of messages has begun: a visible window
                                            // gets one WM_GETTEXT from the desktop shortly after it is
                                            // shown, which is not recorded
constexpr LPARAM CTL_SET_ELAPSED = 9022;    // wParam: where the loaded track plays, in milliseconds
constexpr LPARAM CTL_GET_VOLUME = 9023;     // the volume as kept, 0-255
constexpr LPARAM CTL_SET_VOLUME = 9024;     // wParam: the volume to keep and answer, unchecked
constexpr LPARAM CTL_SET_SWITCHES = 9025;   // wParam: shuffle in bit 0, repeat in bit 1
constexpr LPARAM CTL_SET_IMITATION = 9026;  // wParam: 1 answers the string requests and WM_COPYDATA with 0
constexpr LPARAM CTL_GET_LENGTH = 9027;     // the playlist's length
constexpr LPARAM CTL_GET_STRINGS = 9028;    // the low 32 bits of where the shared string buffer lies
constexpr LPARAM CTL_SET_OLDER = 9029;      // wParam: 1 no replies by message, only the request block
constexpr LPARAM CTL_SET_SLOW_TAGS = 9030;  // wParam: ms a request block's tag read takes
constexpr LPARAM CTL_LAST = CTL_SET_SLOW_TAGS; // a new control goes after this one, and becomes the last

// A hung stand-in waits for this event (at most a minute) before it handles messages again.
constexpr const char* PLAYER_RELEASE_EVENT = "tolbry-standin-release";
// Strings go out as the player hands them: QUERY_LIST_TITLE and QUERY_LIST_FILE answer a pointer to
// the entry's text in one buffer shared by every request, which the next overwrites. The buffer is
// the top of a region allocated top-down, so that a 32-bit stand-in, which is large-address-aware,
// keeps it above 2 GB, and a read past the text's zero leaves the region.
// WM_COPYDATA with ADD_TO_PLAYLIST appends an existing file, a folder's files (in name order) or a
// URL, and answers TRUE; it is recorded with its dwData in place of lParam.
// Tags, as the player of 5.9 answers them: WM_COPYDATA REPLY_CURRENT_FILE and REPLY_FILE_TAG are
// answered by a WM_COPYDATA back to the window in their wParam, sent before the request returns;
// QUERY_FILE_TAG reads the request block at wParam in its own memory and writes the answer last.
// Each entry has artist, title, album, year, genre and track.
// WM_SETTEXT sets a caption that is answered (or scrolled) as it stands until an empty WM_SETTEXT
// clears it.

// `value` with {N} as the special folder CSIDL N and %NAME% as the variable NAME, as this process sees
// them: as the player expands its paths.ini. In UTF-8 and out.
std::string ExpandInThisProcess(const std::string& value);

// Playlist files hold paths in UTF-8 (.m3u8, after a byte-order mark) or the ANSI code page (.m3u),
// as the player writes them; `path` is read as the one its name says.
bool ReadsAsUtf8(const std::string& path);

// The caption C as the player scrolls it through its title at `step`: C[step:] + " *** " + C for the
// first len(C) steps, then the tail of " *** " + C + " *** " for three steps, and round again. In
// 8-bit characters or UTF-16 units.
template <typename Text>
Text ScrolledTitle(const Text& caption, size_t step);

constexpr const char* PLAYER_PROGRAM = "standin-player.exe";

// Registers the window class and creates the window on the calling thread, which must then pump
// messages for callers in other threads or processes. Null on failure.
HWND CreatePlayerWindow(const PlayerOptions& options);

// Where the player made in this process keeps its playlist files, in UTF-8.
std::string OwnPlaylistFolder();

// Points the player's file association at `program`, quoted, as an installation leaves it.
bool RegisterPlayerAssociation(const std::string& program);
