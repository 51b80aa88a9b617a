// The playlists the benchmarks read: paths of realistic length (about 70 characters), each entry with
// its #EXTINF line, written to `path` through a temporary file so that a half-written one is never
// taken for a whole one.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

inline void WriteBenchPlaylist(const std::string& path, int entries, const char* lineEnd)
{
    std::string temporary = path + ".tmp";
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    std::fprintf(f, "#EXTM3U%s", lineEnd);
    for (int i = 0; i < entries; ++i)
        std::fprintf(f, "#EXTINF:%d,Artist %d - Title of track %d%sC:\\Users\\Listener\\Music\\Artist %d\\Album %d\\%02d - Title of track %d.mp3%s",
                     120 + i % 300, i % 997, i, lineEnd, i % 997, i % 89, i % 20 + 1, i, lineEnd);
    std::fclose(f);
    std::remove(path.c_str());
    std::rename(temporary.c_str(), path.c_str());
}

// A plain reading to the entry, line by line with fgets: what the module once did, and the C
// library's own text mode. Closes `f`; answers the length of the entry's line.
inline size_t FgetsToEntry(std::FILE* f, int position)
{
    char line[4096] = "";
    int entries = 0;
    while (std::fgets(line, sizeof line, f) != nullptr)
        if (line[0] != '#' && ++entries > position)
            break;
    std::fclose(f);
    return std::strlen(line);
}
