#include "scrolling_title.h"

#include <windows.h>

#include "text.h"

namespace {

constexpr const char* SEPARATOR = " *** ";
constexpr size_t SEPARATOR_LENGTH = 5;

} // namespace

template <typename Char>
Char* UnscrollTitle(Char* title)
{
    size_t length = TextLength(title);
    // C[p:] + S + C: C is what follows some S, and what precedes that S is C's tail. The first S that
    // fits is taken, so that a caption holding S itself comes back whole.
    for (Char* at = FindAscii(title, SEPARATOR, SEPARATOR_LENGTH); at != nullptr;
         at = FindAscii(at + 1, SEPARATOR, SEPARATOR_LENGTH)) {
        size_t before = static_cast<size_t>(at - title);
        Char* caption = at + SEPARATOR_LENGTH;
        size_t captionLength = length - before - SEPARATOR_LENGTH;
        if (before > 0 && captionLength >= before && SameText(title, caption + captionLength - before, before))
            return caption;
    }
    // S[k:] + C + S for k = 0, 1, 2: the separator is mid-way through scrolling off.
    if (length > SEPARATOR_LENGTH && StartsWithAscii(title + length - SEPARATOR_LENGTH, SEPARATOR, SEPARATOR_LENGTH)) {
        for (size_t k = 0; k <= 2; ++k) {
            size_t head = SEPARATOR_LENGTH - k;
            if (length >= head + 1 + SEPARATOR_LENGTH && StartsWithAscii(title, SEPARATOR + k, head)) {
                title[length - SEPARATOR_LENGTH] = 0;
                return title + head;
            }
        }
    }
    return title;
}

template char* UnscrollTitle(char* title);
template WCHAR* UnscrollTitle(WCHAR* title);
