// FILENAME's reading against a bare read()+memchr loop and a plain fgets loop over the same playlist,
// in one run.
//   reader_bench DIR [--quick] [google benchmark flags]  timings (DIR holds the generated playlists)
//   reader_bench DIR --once module|bare ENTRIES          one read of the last entry, for callgrind
//   reader_bench DIR --bytes-read ENTRIES                bytes read from the disk for entry 0
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "../../src/trackinfo/playlist_reader.h"
#include "../common/bench_playlist.h"
#include "../common/bytes_read.h"

namespace {

std::string Dir;

std::string PlaylistFor(int entries)
{
    return Dir + "/playlist-" + std::to_string(entries) + ".m3u";
}

void Generate(int entries)
{
    std::string path = PlaylistFor(entries);
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        WriteBenchPlaylist(path, entries, "\n");
}

} // namespace

// Kept out of line and unmangled so that callgrind can count inside them alone.
extern "C" __attribute__((noinline)) size_t ModuleRead(int fd, int position)
{
    char line[LINE_BUFFER];
    ReadPlaylistEntry(reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd) + 1), position, line);
    return std::strlen(line);
}

// The floor for any reader: read() in the module's block size and memchr from line feed to line feed,
// counting lines not beginning with "#".
extern "C" __attribute__((noinline)) size_t BareRead(int fd, int position)
{
    static char block[64 * 1024];
    int entries = 0;
    bool lineStarts = true;
    ssize_t got;
    while ((got = read(fd, block, sizeof block)) > 0) {
        const char* p = block;
        const char* end = block + got;
        while (p < end) {
            if (lineStarts && *p != '#' && ++entries > position)
                return static_cast<size_t>(end - p);
            const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
            lineStarts = lf != nullptr;
            p = lf != nullptr ? lf + 1 : end;
        }
    }
    return 0;
}

// The loop the module used before, and the C library's own line reading: fgets in text mode.
extern "C" __attribute__((noinline)) size_t FgetsRead(int fd, int position)
{
    return FgetsToEntry(fdopen(dup(fd), "r"), position);
}

namespace {

template <size_t (*Read)(int, int)>
void Reading(benchmark::State& state)
{
    int entries = static_cast<int>(state.range(0));
    int position = static_cast<int>(state.range(1));
    std::string path = PlaylistFor(entries);
    for (auto _ : state) {
        int fd = open(path.c_str(), O_RDONLY);
        benchmark::DoNotOptimize(Read(fd, position));
        close(fd);
    }
    state.SetItemsProcessed(state.iterations() * (position + 1));
}


} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    Dir = argv[1];
    mkdir(Dir.c_str(), 0755);
    if (argc >= 5 && std::strcmp(argv[2], "--once") == 0) {
        int entries = std::atoi(argv[4]);
        Generate(entries);
        int fd = open(PlaylistFor(entries).c_str(), O_RDONLY);
        size_t n = std::strcmp(argv[3], "module") == 0 ? ModuleRead(fd, entries - 1) : BareRead(fd, entries - 1);
        close(fd);
        return n > 0 ? 0 : 1;
    }
    if (argc >= 4 && std::strcmp(argv[2], "--bytes-read") == 0) {
        int entries = std::atoi(argv[3]);
        Generate(entries);
        int fd = open(PlaylistFor(entries).c_str(), O_RDONLY);
        long long before = BytesRead();
        size_t n = ModuleRead(fd, 0);
        long long read = BytesRead() - before;
        close(fd);
        std::printf("%lld\n", read);
        return n > 0 ? 0 : 1;
    }

    bool quick = argc >= 3 && std::strcmp(argv[2], "--quick") == 0;
    std::vector<int> sizes = quick ? std::vector<int>{1000, 10000} : std::vector<int>{1000, 10000, 100000, 1000000};
    for (int entries : sizes) {
        Generate(entries);
        benchmark::RegisterBenchmark(("module/" + std::to_string(entries)).c_str(), Reading<ModuleRead>)
            ->Args({entries, entries - 1});
        benchmark::RegisterBenchmark(("bare/" + std::to_string(entries)).c_str(), Reading<BareRead>)
            ->Args({entries, entries - 1});
        benchmark::RegisterBenchmark(("fgets/" + std::to_string(entries)).c_str(), Reading<FgetsRead>)
            ->Args({entries, entries - 1});
    }
    int largest = sizes.back();
    benchmark::RegisterBenchmark(("module-first/" + std::to_string(largest)).c_str(), Reading<ModuleRead>)
        ->Args({largest, 0});
    benchmark::RegisterBenchmark("module-first/1000", Reading<ModuleRead>)->Args({1000, 0});

    std::vector<char*> args = {argv[0]};
    for (int i = quick ? 3 : 2; i < argc; ++i)
        args.push_back(argv[i]);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
