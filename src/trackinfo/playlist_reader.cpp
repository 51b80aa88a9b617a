#include "playlist_reader.h"

#include <emmintrin.h>

#include <cstring>

#include "open_file.h"

namespace {

// Big enough that a read costs little beside the scan, small enough for any host thread's stack.
constexpr DWORD READ_BLOCK = 64 * 1024;
constexpr DWORD FIRST_READ = 4096;
constexpr char END_OF_FILE = 0x1A; // Ctrl-Z: text mode reads nothing after it

// Every processor with SSE2 runs this; the host may still run on one without it.
__attribute__((target("sse2"))) const char* FindLineEndSse2(const char* p, const char* end)
{
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i endOfFile = _mm_set1_epi8(END_OF_FILE);
    while (end - p >= 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, lineFeed), _mm_cmpeq_epi8(bytes, endOfFile)));
        if (hits != 0)
            return p + __builtin_ctz(static_cast<unsigned>(hits));
        p += 16;
    }
    return p;
}

// The first line feed or Ctrl-Z in [p, end), or end.
const char* FindLineEnd(const char* p, const char* end, bool sse2)
{
    if (sse2)
        p = FindLineEndSse2(p, end);
    while (p < end && *p != '\n' && *p != END_OF_FILE)
        ++p;
    return p;
}

// Copies the bytes [from, to) of the last line begun into the scan's line, after what it holds
// already when the line began in an earlier block.
void Keep(EntryScan& scan, const char* from, const char* to, bool continued)
{
    if (!continued)
        scan.kept = 0;
    size_t room = sizeof scan.line - scan.kept;
    size_t n = static_cast<size_t>(to - from);
    if (n > room)
        n = room;
    std::memcpy(scan.line + scan.kept, from, n);
    scan.kept += n;
}

} // namespace

void StartEntryScan(EntryScan& scan, int position)
{
    scan.position = position;
    scan.entries = 0;
    scan.inLine = false;
    scan.found = false;
    scan.done = position < 0;
    scan.sse2 = IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != FALSE;
    scan.kept = 0;
}

void ScanPlaylistBlock(EntryScan& scan, const char* block, size_t size)
{
    if (scan.done)
        return;
    const char* p = block;
    const char* const end = block + size;
    const bool sse2 = scan.sse2;
    // Only the last line begun in this block is copied, once the block is done with: lines passed
    // over cost a scan and nothing more.
    const char* lineStart = block;
    bool continued = scan.inLine;
    bool inLine = scan.inLine;
    bool found = scan.found;
    bool done = false;
    int entries = scan.entries;
    for (;;) {
        if (!inLine) {
            if (p == end)
                break;
            if (*p == END_OF_FILE) {
                done = true;
                break;
            }
            inLine = true;
            lineStart = p;
            continued = false;
            if (*p != '#') {
                if (entries == scan.position)
                    found = true;
                else
                    ++entries;
            }
        }
        const char* stop = FindLineEnd(p, end, sse2);
        if (stop == end) {
            p = end;
            break;
        }
        if (*stop == END_OF_FILE) {
            p = stop;
            done = true;
            break;
        }
        p = stop + 1;
        inLine = false;
        if (found) {
            done = true;
            break;
        }
    }
    scan.inLine = inLine;
    scan.found = found;
    scan.entries = entries;
    if (p > lineStart || continued)
        Keep(scan, lineStart, p, continued);
    // An entry longer than an answer needs no more of its bytes.
    scan.done = done || (found && scan.kept == sizeof scan.line);
}

void FinishEntryScan(EntryScan& scan, char (&line)[LINE_BUFFER])
{
    size_t n = scan.kept;
    if (n >= 2 && scan.line[n - 1] == '\n' && scan.line[n - 2] == '\r') {
        scan.line[n - 2] = '\n';
        --n;
    }
    if (n > LINE_MAX)
        n = LINE_MAX;
    std::memcpy(line, scan.line, n);
    line[n] = '\0';
}

void ReadPlaylistEntry(HANDLE file, int position, char (&line)[LINE_BUFFER], bool skipByteOrderMark)
{
    EntryScan scan;
    StartEntryScan(scan, position);
    char block[READ_BLOCK];
    // The entry is often near the start: the first read is small, so that finding it costs little.
    DWORD want = FIRST_READ;
    DWORD got = 0;
    while (!scan.done && ReadFile(file, block, want, &got, nullptr) && got > 0) {
        DWORD skip = 0;
        if (want == FIRST_READ && skipByteOrderMark && got >= 3 && std::memcmp(block, "\xEF\xBB\xBF", 3) == 0)
            skip = 3;
        ScanPlaylistBlock(scan, block + skip, got - skip);
        // A disk file reads short only at its end: no read is spent on learning that.
        if (got < want)
            break;
        want = READ_BLOCK;
    }
    FinishEntryScan(scan, line);
}

void ReadPlaylistEntry(const WCHAR* path, int position, char (&line)[LINE_BUFFER], bool skipByteOrderMark)
{
    line[0] = '\0';
    HANDLE file = OpenToRead(path);
    if (file == INVALID_HANDLE_VALUE)
        return;
    FileCloser closer{file};
    ReadPlaylistEntry(file, position, line, skipByteOrderMark);
}
