#include "scrolling_title.h"

#include <cstring>

namespace {

constexpr const char* SEPARATOR = " *** ";
constexpr size_t SEPARATOR_LENGTH = 5;

} // namespace

char* UnscrollTitle(char* title)
{
    size_t length = std::strlen(title);
    // C[p:] + S + C: C is what follows some S, and what precedes that S is C's tail. The first S that
    // fits is taken, so that a caption holding S itself comes back whole.
    for (char* at = std::strstr(title, SEPARATOR); at != nullptr; at = std::strstr(at + 1, SEPARATOR)) {
        size_t before = static_cast<size_t>(at - title);
        char* caption = at + SEPARATOR_LENGTH;
        size_t captionLength = length - before - SEPARATOR_LENGTH;
        if (before > 0 && captionLength >= before &&
            std::memcmp(title, caption + captionLength - before, before) == 0)
            return caption;
    }
    // S[k:] + C + S for k = 0, 1, 2: the separator is mid-way through scrolling off.
    if (length > SEPARATOR_LENGTH && std::memcmp(title + length - SEPARATOR_LENGTH, SEPARATOR, SEPARATOR_LENGTH) == 0) {
        for (size_t k = 0; k <= 2; ++k) {
            size_t head = SEPARATOR_LENGTH - k;
            if (length >= head + 1 + SEPARATOR_LENGTH && std::memcmp(title, SEPARATOR + k, head) == 0) {
                title[length - SEPARATOR_LENGTH] = '\0';
                return title + head;
            }
        }
    }
    return title;
}
