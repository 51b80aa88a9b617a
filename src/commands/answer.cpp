#include "answer.h"

#include <windows.h>

#include <cstring>

namespace {

// Copies at most `limit` characters of `text` and the terminating zero into `out`.
void CopyCut(char* out, const char* text, size_t limit)
{
    size_t n = std::strlen(text);
    if (n > limit)
        n = limit;
    std::memcpy(out, text, n);
    out[n] = '\0';
}

} // namespace

void AnswerRefusal(char* data, int status)
{
    wsprintfA(data, "ERR %i", status);
}

void AnswerText(char* data, const char* text)
{
    char cut[ANSWER_MAX + 1];
    CopyCut(cut, text, ANSWER_MAX);
    wsprintfA(data, "%s", cut);
}

void AnswerLengthAndNumber(char* data, int length, const char* number)
{
    char head[16];
    int headLength = wsprintfA(head, "%i ", length);
    char cut[ANSWER_MAX + 1];
    CopyCut(cut, number, static_cast<size_t>(ANSWER_MAX - headLength));
    wsprintfA(data, "%i %s", length, cut);
}
