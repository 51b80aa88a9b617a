#include "answer.h"

#include <cstring>

#include "../player/player_memory.h"
#include "../trackinfo/code_page_path.h"
#include "../trackinfo/playlist_reader.h"
#include "../trackinfo/text.h"

namespace {

constexpr WCHAR NO_TEXT[1] = {0};

// Bytes of `text` (`n` of them) that fit `limit` in whole characters: a cut never leaves the lead byte
// of a two-byte code page's character, nor part of a UTF-8 sequence, at the answer's end.
size_t WholeCharacters(const char* text, size_t n, size_t limit)
{
    if (n <= limit)
        return n;
    if (GetACP() == CP_UTF8) {
        size_t i = limit;
        while (i > 0 && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            --i;
        return i;
    }
    size_t i = 0;
    while (i < limit) {
        size_t step = IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < n ? 2 : 1;
        if (i + step > limit)
            break;
        i += step;
    }
    return i;
}

// Copies at most `limit` bytes of `text`, in whole characters, and the terminating zero into `out`.
void CopyCut(char* out, const char* text, size_t limit)
{
    size_t n = WholeCharacters(text, std::strlen(text), limit);
    std::memcpy(out, text, n);
    out[n] = '\0';
}

// Writes `head` (ASCII) and then `text`, cut so that both fit the host's units.
void AnswerWide(HostText data, const char* head, const WCHAR* text)
{
    WCHAR* out = data.Units();
    size_t n = 0;
    for (; head[n] != '\0'; ++n)
        out[n] = static_cast<WCHAR>(static_cast<unsigned char>(head[n]));
    size_t room = static_cast<size_t>(data.wideMax) - n;
    size_t length = TextLength(text);
    if (length > room)
        length = room;
    // The high half of a pair whose low half was cut off, here or by a read limit, goes too.
    if (length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF)
        --length;
    std::memcpy(out + n, text, length * sizeof(WCHAR));
    out[n + length] = 0;
}

// The host's text of an 8-bit line: the ANSI code page, as the player wrote it.
void AnswerWideFromAnsi(HostText data, const char* head, const char* text)
{
    WCHAR wide[LINE_BUFFER];
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, LINE_BUFFER) == 0)
        wide[0] = 0;
    AnswerWide(data, head, wide);
}

} // namespace

void AnswerRefusal(HostText data, int status)
{
    if (!data.Wide()) {
        wsprintfA(data.Narrow(), "ERR %i", status);
        return;
    }
    char refusal[16];
    wsprintfA(refusal, "ERR %i", status);
    AnswerWide(data, refusal, NO_TEXT);
}

void AnswerText(HostText data, const char* text)
{
    if (data.Wide()) {
        AnswerWideFromAnsi(data, "", text);
        return;
    }
    char cut[ANSWER_MAX + 1];
    CopyCut(cut, text, ANSWER_MAX);
    wsprintfA(data.Narrow(), "%s", cut);
}

void AnswerText(HostText data, const WCHAR* text)
{
    AnswerWide(data, "", text);
}

void AnswerReadable(HostText data, const WCHAR* text)
{
    if (data.Wide()) {
        AnswerWide(data, "", text);
        return;
    }
    // Three bytes a unit in UTF-8, the widest code page.
    char ansi[PLAYER_FILE_UNITS * 3];
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr) == 0)
        ansi[0] = '\0';
    AnswerText(data, ansi);
}

void AnswerPath(HostText data, const WCHAR* path)
{
    if (data.Wide()) {
        AnswerWide(data, "", path);
        return;
    }
    char ansi[PLAYER_FILE_UNITS * 3];
    if (path[0] == 0 || (ExactlyInCodePage(path, ansi, sizeof ansi) < 0 && ShortPathInCodePage(path, ansi, sizeof ansi) < 0))
        ansi[0] = '\0';
    AnswerText(data, ansi);
}

void AnswerLengthAndNumber(HostText data, int length, const char* number)
{
    char head[16];
    int headLength = wsprintfA(head, "%i ", length);
    if (data.Wide()) {
        AnswerWideFromAnsi(data, head, number);
        return;
    }
    char cut[ANSWER_MAX + 1];
    CopyCut(cut, number, static_cast<size_t>(ANSWER_MAX - headLength));
    wsprintfA(data.Narrow(), "%i %s", length, cut);
}

void AnswerLengthAndNumber(HostText data, int length, const WCHAR* number)
{
    char head[16];
    wsprintfA(head, "%i ", length);
    AnswerWide(data, head, number);
}

void AnswerNumbers(HostText data, std::initializer_list<int> numbers)
{
    // «-2147483648» and a space for each.
    char text[4 * 12];
    int n = 0;
    for (int number : numbers)
        if (n + 12 < static_cast<int>(sizeof text))
            n += wsprintfA(text + n, n == 0 ? "%i" : " %i", number);
    text[n] = '\0';
    AnswerText(data, text);
}
