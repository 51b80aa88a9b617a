// The un-scrolling of the player's title. Taken as a title, any input comes back as it stands or as a
// caption of which it is a rotation. Taken as a caption, every rotation of it comes back as a caption
// with that rotation: the caption itself when it ends as the player's do, in « - Winamp», and holds no
// « *** » (one that does may be a rotation itself, and then its rotations are two captions' too).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../../src/trackinfo/scrolling_title.h"

namespace {

const std::string SEPARATOR = " *** ";

bool IsRotationOf(const std::string& title, const std::string& caption)
{
    // The lengths tell which rotation it would be.
    size_t n = caption.size(), length = title.size();
    if (n == 0 || length < n + 5)
        return false;
    size_t p = 2 * n + 5 - length;
    if (2 * n + 5 >= length && p < n && title == caption.substr(p) + SEPARATOR + caption)
        return true;
    size_t k = n + 10 - length;
    return length <= n + 10 && k <= 2 && title == SEPARATOR.substr(k) + caption + SEPARATOR;
}

std::string Unscrolled(const std::string& title)
{
    std::vector<char> buffer(title.begin(), title.end());
    buffer.push_back('\0');
    return UnscrollTitle(buffer.data());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.c_str();
    std::string caption = Unscrolled(text);
    if (caption != text && !IsRotationOf(text, caption))
        std::abort();
    // Where several separators fit C[p:] + « *** » + C, the first wins: the longest caption.
    for (size_t at = text.find(SEPARATOR); at != std::string::npos; at = text.find(SEPARATOR, at + 1)) {
        std::string longest = text.substr(at + SEPARATOR.size());
        if (at > 0 && longest.size() >= at && longest.compare(longest.size() - at, at, text, 0, at) == 0) {
            if (caption != longest)
                std::abort();
            break;
        }
    }

    if (text.empty() || text.size() > 100) // every rotation of a longer one would take the run's time
        return 0;
    bool playerShaped = text.size() >= 9 && text.compare(text.size() - 9, 9, " - Winamp") == 0 &&
                        text.find(SEPARATOR) == std::string::npos;
    std::vector<std::string> rotations;
    for (size_t p = 0; p < text.size(); ++p)
        rotations.push_back(text.substr(p) + SEPARATOR + text);
    for (size_t k = 0; k <= 2; ++k)
        rotations.push_back(SEPARATOR.substr(k) + text + SEPARATOR);
    for (const std::string& title : rotations) {
        std::string back = Unscrolled(title);
        if (!IsRotationOf(title, back) || (playerShaped && back != text))
            std::abort();
    }
    return 0;
}
