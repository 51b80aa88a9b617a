// FILEINFO and DISPNAME over any title, well-formed or not, against a plain reading of the same
// rules: answers stay within the host's bytes and match the title's cuts. The title goes to an 8-bit
// host as bytes, or to a Unicode host as UTF-16 units (the input's bytes in pairs), lone surrogates
// and all, with 1024 or 2048 bytes to answer in.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../../src/commands/commands.h"
#include "../../src/commands/host_text.h"
#include "../../src/commands/load_dll.h"
#include "../../src/player/messages.h"
#include "standin.h"

namespace {

using Text = std::u16string; // an 8-bit title holds one byte a unit

Text Title;
bool Unterminated = false; // the window fills the whole buffer and leaves no zero
bool Wide = false;         // the host made the load-time call
int Bytes = 1024;          // what the host's buffer holds
int Length = 0;

Text Call(int(WINAPI* fn)(DWORD, DWORD, void*, DWORD, DWORD, DWORD))
{
    std::vector<char> buffer(static_cast<size_t>(Bytes) + 64, '\x5A');
    buffer[0] = buffer[1] = '\0';
    fn(0, 0, buffer.data(), 0, 0, 0);
    for (size_t i = static_cast<size_t>(Bytes); i < buffer.size(); ++i)
        if (buffer[i] != '\x5A')
            std::abort();
    Text answer;
    size_t unit = Wide ? 2 : 1;
    for (size_t i = 0;; i += unit) {
        if (i + unit > static_cast<size_t>(Bytes))
            std::abort(); // no terminating zero
        char16_t c = Wide ? static_cast<char16_t>(static_cast<unsigned char>(buffer[i]) |
                                                  static_cast<unsigned char>(buffer[i + 1]) << 8)
                          : static_cast<unsigned char>(buffer[i]);
        if (c == 0)
            return answer;
        answer += c;
    }
}

Text Ascii(const char* text)
{
    return Text(text, text + std::strlen(text));
}

// A scrolled title C[p:] + S + C (the first S that fits) or S[k:] + C + S gives its caption C.
Text Caption(const Text& title)
{
    const Text s = Ascii(" *** ");
    for (size_t at = title.find(s); at != Text::npos; at = title.find(s, at + 1)) {
        Text caption = title.substr(at + s.size());
        if (at > 0 && caption.size() >= at && title.substr(0, at) == caption.substr(caption.size() - at))
            return caption;
    }
    for (size_t k = 0; k <= 2; ++k) {
        Text head = s.substr(k);
        if (title.size() >= head.size() + 1 + s.size() && title.compare(0, head.size(), head) == 0 &&
            title.compare(title.size() - s.size(), s.size(), s) == 0)
            return title.substr(head.size(), title.size() - head.size() - s.size());
    }
    return title;
}

// The title as the module sees it: at most limit - 1 characters, up to its first zero, and the
// caption of a scrolled one.
Text Seen(int limit)
{
    Text seen = Title;
    if (Unterminated && seen.size() < static_cast<size_t>(limit))
        seen.resize(limit, u'u');
    seen = seen.substr(0, limit - 1);
    return Caption(seen.substr(0, seen.find(u'\0')));
}

// An answer cut to what the host takes; a Unicode host never gets the high half of a pair alone at
// the end.
Text Cut(Text answer)
{
    size_t max = Wide ? static_cast<size_t>(Bytes / 2 - 1) : 1023;
    if (answer.size() > max)
        answer.resize(max);
    if (Wide && !answer.empty() && answer.back() >= 0xD800 && answer.back() <= 0xDBFF)
        answer.pop_back();
    return answer;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5)
        return 0;
    Unterminated = data[0] & 1;
    Wide = data[0] & 2;
    Bytes = Wide && (data[0] & 4) ? 2048 : 1024;
    std::memcpy(&Length, data + 1, 4);
    Title.clear();
    for (size_t i = 5; i + (Wide ? 1 : 0) < size; i += Wide ? 2 : 1)
        Title += Wide ? static_cast<char16_t>(data[i] | data[i + 1] << 8) : static_cast<char16_t>(data[i]);

    StandinReset();
    HostWideMax.store(0);
    if (Wide) {
        LOADINFO info = {7 | (77 << 16), nullptr, TRUE, FALSE, 0, static_cast<DWORD>(Bytes)};
        LoadDll(&info);
    }
    StandinCreateWindow(PLAYER_WINDOW_CLASS, [](HWND, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
        if (msg == WM_USER)
            return l == QUERY_VERSION ? 0x5092 : l == QUERY_PLAY_STATE ? 1 : l == QUERY_TRACK_LENGTH ? Length : 0;
        if (msg != WM_GETTEXT || w == 0)
            return 0;
        if (StandinWideMessage() != Wide)
            std::abort(); // the title goes in the host's width
        auto put = [&](size_t i, char16_t c) {
            if (Wide)
                reinterpret_cast<WCHAR*>(l)[i] = c;
            else
                reinterpret_cast<char*>(l)[i] = static_cast<char>(c);
        };
        size_t n = Title.size() < w - 1 ? Title.size() : w - 1;
        if (Unterminated) {
            for (size_t i = 0; i < w; ++i)
                put(i, i < Title.size() ? Title[i] : u'u');
            return static_cast<LRESULT>(w);
        }
        for (size_t i = 0; i < n; ++i)
            put(i, Title[i]);
        put(n, 0);
        return static_cast<LRESULT>(n);
    });

    Text name = Seen(899);
    size_t dot = name.find(u'.');
    if (dot != Text::npos)
        name = name.substr(dot + 1);
    size_t dash = name.rfind(u'-');
    if (dash != Text::npos)
        name = name.substr(0, dash);
    if (Call(DISPNAME) != Cut(name))
        std::abort();

    Text info = Seen(889);
    size_t start = info.find_first_not_of(u'.');
    Text number = start == Text::npos ? Text() : info.substr(start, info.find(u'.', start) - start);
    if (Call(FILEINFO) != Cut(Ascii((std::to_string(Length) + " ").c_str()) + number))
        std::abort();
    HostWideMax.store(0);
    return 0;
}
