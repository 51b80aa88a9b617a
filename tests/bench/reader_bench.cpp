// FILENAME's reading against a bare fgets loop over the same playlist, in one run.
//   reader_bench DIR [--quick] [google benchmark flags]  timings (DIR holds the generated playlists)
//   reader_bench DIR --once module|bare ENTRIES          one read of the last entry, for callgrind
//   reader_bench DIR --bytes-read ENTRIES                bytes read from the disk for entry 0
#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "../../src/trackinfo/current_entry.h"
#include "../common/bytes_read.h"

namespace {

std::string Dir;

std::string PlaylistFor(int entries)
{
    return Dir + "/playlist-" + std::to_string(entries) + ".m3u";
}

// Paths of realistic length (about 70 characters), each entry with its #EXTINF line.
void Generate(int entries)
{
    std::string path = PlaylistFor(entries);
    struct stat st;
    if (stat(path.c_str(), &st) == 0)
        return;
    std::FILE* f = std::fopen((path + ".tmp").c_str(), "w");
    std::fputs("#EXTM3U\n", f);
    for (int i = 0; i < entries; ++i)
        std::fprintf(f, "#EXTINF:%d,Artist %d - Title of track %d\nC:\\Users\\Listener\\Music\\Artist %d\\Album %d\\%02d - Title of track %d.mp3\n",
                     120 + i % 300, i % 997, i, i % 997, i % 89, i % 20 + 1, i);
    std::fclose(f);
    std::rename((path + ".tmp").c_str(), path.c_str());
}

} // namespace

// Kept out of line and unmangled so that callgrind can count inside them alone.
extern "C" __attribute__((noinline)) size_t ModuleRead(std::FILE* f, int position)
{
    return ReadPlaylistEntry(f, position).size();
}

// What any reader must do at least: fgets into a 4096-byte buffer, counting lines not beginning with "#".
extern "C" __attribute__((noinline)) size_t BareRead(std::FILE* f, int position)
{
    char line[4096];
    int entries = 0;
    while (std::fgets(line, sizeof line, f) != nullptr)
        if (line[0] != '#' && ++entries > position)
            break;
    return std::strlen(line);
}

namespace {

template <size_t (*Read)(std::FILE*, int)>
void Reading(benchmark::State& state)
{
    int entries = static_cast<int>(state.range(0));
    int position = static_cast<int>(state.range(1));
    std::string path = PlaylistFor(entries);
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "r");
        benchmark::DoNotOptimize(Read(f, position));
        std::fclose(f);
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
        std::FILE* f = std::fopen(PlaylistFor(entries).c_str(), "r");
        size_t n = std::strcmp(argv[3], "module") == 0 ? ModuleRead(f, entries - 1) : BareRead(f, entries - 1);
        std::fclose(f);
        return n > 0 ? 0 : 1;
    }
    if (argc >= 4 && std::strcmp(argv[2], "--bytes-read") == 0) {
        int entries = std::atoi(argv[3]);
        Generate(entries);
        std::FILE* f = std::fopen(PlaylistFor(entries).c_str(), "r");
        long long before = BytesRead();
        size_t n = ModuleRead(f, 0);
        long long read = BytesRead() - before;
        std::fclose(f);
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
