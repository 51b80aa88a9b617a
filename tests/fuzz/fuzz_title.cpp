// FILEINFO and DISPNAME over any title bytes, well-formed or not, against a plain reading of the
// same rules: answers stay within the host's 1024 bytes and match the title's cuts.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../../src/commands/commands.h"
#include "../../src/player/messages.h"
#include "standin.h"

namespace {

std::string Title;
bool Unterminated = false; // the window fills the whole buffer and leaves no zero
int Length = 0;

std::string Call(int(WINAPI* fn)(DWORD, DWORD, void*, DWORD, DWORD, DWORD))
{
    std::vector<char> buffer(1024 + 64, '\x5A');
    buffer[0] = '\0';
    fn(0, 0, buffer.data(), 0, 0, 0);
    for (size_t i = 1024; i < buffer.size(); ++i)
        if (buffer[i] != '\x5A')
            std::abort();
    if (std::memchr(buffer.data(), '\0', 1024) == nullptr)
        std::abort();
    return buffer.data();
}

// A scrolled title C[p:] + S + C (the first S that fits) or S[k:] + C + S gives its caption C.
std::string Caption(const std::string& title)
{
    const std::string s = " *** ";
    for (size_t at = title.find(s); at != std::string::npos; at = title.find(s, at + 1)) {
        std::string caption = title.substr(at + s.size());
        if (at > 0 && caption.size() >= at && title.substr(0, at) == caption.substr(caption.size() - at))
            return caption;
    }
    for (size_t k = 0; k <= 2; ++k) {
        std::string head = s.substr(k);
        if (title.size() >= head.size() + 1 + s.size() && title.compare(0, head.size(), head) == 0 &&
            title.compare(title.size() - s.size(), s.size(), s) == 0)
            return title.substr(head.size(), title.size() - head.size() - s.size());
    }
    return title;
}

// The title as the module sees it: at most limit - 1 characters, up to its first zero, and the
// caption of a scrolled one.
std::string Seen(int limit)
{
    std::string seen = Title;
    if (Unterminated && seen.size() < static_cast<size_t>(limit))
        seen.resize(limit, 'u');
    seen = seen.substr(0, limit - 1);
    return Caption(seen.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5)
        return 0;
    Unterminated = data[0] & 1;
    std::memcpy(&Length, data + 1, 4);
    Title.assign(reinterpret_cast<const char*>(data + 5), size - 5);

    StandinReset();
    StandinCreateWindow(PLAYER_WINDOW_CLASS, [](HWND, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
        if (msg == WM_USER)
            return l == QUERY_VERSION ? 0x5092 : l == QUERY_PLAY_STATE ? 1 : l == QUERY_TRACK_LENGTH ? Length : 0;
        if (msg != WM_GETTEXT || w == 0)
            return 0;
        char* out = reinterpret_cast<char*>(l);
        if (Unterminated) {
            std::memset(out, 'u', w);
            std::memcpy(out, Title.data(), Title.size() < w ? Title.size() : w);
            return static_cast<LRESULT>(w);
        }
        size_t n = Title.size() < w - 1 ? Title.size() : w - 1;
        std::memcpy(out, Title.data(), n);
        out[n] = '\0';
        return static_cast<LRESULT>(n);
    });

    std::string name = Seen(899);
    size_t dot = name.find('.');
    if (dot != std::string::npos)
        name = name.substr(dot + 1);
    size_t dash = name.rfind('-');
    if (dash != std::string::npos)
        name = name.substr(0, dash);
    if (Call(DISPNAME) != name.substr(0, 1023))
        std::abort();

    std::string info = Seen(889);
    size_t start = info.find_first_not_of('.');
    std::string number = start == std::string::npos ? "" : info.substr(start, info.find('.', start) - start);
    if (Call(FILEINFO) != (std::to_string(Length) + " " + number).substr(0, 1023))
        std::abort();
    return 0;
}
