#include "current_entry.h"

#include "../player/messages.h"
#include "playlist_path.h"

namespace {

// Lines come in pieces of at most LINE_BUFFER - 1 characters.
constexpr int LINE_BUFFER = 4096;

struct FileCloser {
    std::FILE* file;
    ~FileCloser() { std::fclose(file); }
};

} // namespace

std::string ReadPlaylistEntry(std::FILE* file, int position)
{
    if (position < 0)
        return std::string();

    // The line that began most recently stays in one buffer while the next piece goes into the other,
    // so a long line's later pieces never overwrite its beginning.
    char pieces[2][LINE_BUFFER];
    int last = -1;
    int next = 0;
    bool beginsLine = true;
    int entries = 0;
    for (;;) {
        char* piece = pieces[next];
        // fgets zeroes the final byte only when it fills the buffer; a line may hold NUL bytes, so
        // the length of a piece cannot tell that.
        piece[LINE_BUFFER - 1] = 'x';
        if (std::fgets(piece, LINE_BUFFER, file) == nullptr)
            break;
        bool filled = piece[LINE_BUFFER - 1] == '\0';
        bool began = beginsLine;
        beginsLine = !filled || piece[LINE_BUFFER - 2] == '\n';
        if (!began)
            continue; // a later piece of a long line is part of the entry already counted
        last = next;
        next = 1 - next;
        if (piece[0] != '#' && ++entries > position)
            break;
    }
    return last < 0 ? std::string() : std::string(pieces[last]);
}

std::string GetCurrentEntry(HWND player)
{
    std::string path = GetPlaylistPath();
    if (path.empty())
        return std::string();
    // The file is not deleted first: the player writes it only when its playlist changed since it
    // last saved it, so a deleted file would stay missing until the user edits the playlist.
    int position = QueryPlayer(player, WRITE_PLAYLIST);
    std::FILE* file = std::fopen(path.c_str(), "rt");
    if (file == nullptr)
        return std::string();
    FileCloser closer{file};
    return ReadPlaylistEntry(file, position);
}
