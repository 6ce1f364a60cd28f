// Zipping a 1 GB folder the way Velmora does before mailing it, with velmora-ditto, beside
// `zip -qr`, which a Linux user would reach for instead. The folder mixes what people mail:
// 40% pictures and movies (random bytes, which do not compress) of 5-20 MB, and 60% text of
// 10 KB-2 MB in a few subfolders. It is made once under /tmp/velmora-bench-ditto and kept for
// later runs; each run writes a new archive, removed between runs outside the timing.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kMegabyte = 1024 * 1024;
constexpr uint64_t kMediaBytes = 400 * kMegabyte;
constexpr uint64_t kTextBytes = 600 * kMegabyte;

const fs::path kCache = "/tmp/velmora-bench-ditto";

void WriteMedia(const fs::path& path, uint64_t size, std::mt19937_64& random) {
    std::vector<uint64_t> block(kMegabyte / sizeof(uint64_t));
    std::ofstream out(path, std::ios::binary);
    for (uint64_t written = 0; written < size; written += kMegabyte) {
        for (uint64_t& word : block) {
            word = random();
        }
        out.write(reinterpret_cast<const char*>(block.data()),
                  static_cast<std::streamsize>(std::min(kMegabyte, size - written)));
    }
}

// Words drawn from a small vocabulary, so the text deflates about as well as prose does.
void WriteText(const fs::path& path, uint64_t size, std::mt19937_64& random) {
    static const std::vector<std::string> words = [] {
        std::vector<std::string> made;
        std::mt19937_64 spelling(1);
        for (int i = 0; i < 5000; ++i) {
            std::string word(3 + spelling() % 9, 'a');
            for (char& letter : word) {
                letter = static_cast<char>('a' + spelling() % 26);
            }
            made.push_back(word);
        }
        return made;
    }();
    std::string text;
    text.reserve(size + 16);
    while (text.size() < size) {
        text += words[random() % words.size()];
        text += random() % 12 == 0 ? '\n' : ' ';
    }
    text.resize(size);
    std::ofstream(path, std::ios::binary) << text;
}

// The folder to zip, made unless a finished one is there already.
fs::path Source() {
    const fs::path source = kCache / "Source";
    const fs::path made = kCache / "made";
    if (fs::exists(made)) {
        return source;
    }
    fs::remove_all(kCache);
    const std::vector<fs::path> folders{source / "Pictures", source / "Movies",
                                        source / "Notes" / "2023", source / "Notes" / "2024",
                                        source / "Reports"};
    for (const fs::path& folder : folders) {
        fs::create_directories(folder);
    }
    std::mt19937_64 random(42);
    for (uint64_t bytes = 0, i = 0; bytes < kMediaBytes; ++i) {
        const uint64_t size = std::min(kMediaBytes - bytes, (5 + random() % 16) * kMegabyte);
        const bool movie = i % 3 == 0;
        WriteMedia(folders[movie ? 1 : 0] /
                       ("item" + std::to_string(i) + (movie ? ".mov" : ".jpg")),
                   size, random);
        bytes += size;
    }
    for (uint64_t bytes = 0, i = 0; bytes < kTextBytes; ++i) {
        const uint64_t size = std::min(kTextBytes - bytes, 10 * 1024 + random() % (2 * kMegabyte));
        WriteText(folders[2 + i % 3] / ("note" + std::to_string(i) + ".txt"), size, random);
        bytes += size;
    }
    std::ofstream{made};
    return source;
}

// Run in the cache folder, so that zip, given the folder's name, names entries as ditto does.
bool Spawn(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const std::string& argument : command) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, kCache.c_str());
    pid_t child = 0;
    const int failed = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        return false;
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void RunTool(benchmark::State& state, const std::vector<std::string>& command,
             const fs::path& out) {
    fs::remove(out);
    for (auto _ : state) {
        if (!Spawn(command)) {
            state.SkipWithError("the tool failed");
            break;
        }
        state.PauseTiming();
        state.counters["MB"] = static_cast<double>(fs::file_size(out)) / kMegabyte;
        fs::remove(out);
        state.ResumeTiming();
    }
}

void BM_VelmoraDitto(benchmark::State& state) {
    const fs::path source = Source();
    const fs::path out = kCache / "ditto.zip";
    RunTool(state, {VELMORA_DITTO, "-c", "-k", "-X", "--keepParent", source, out}, out);
}

void BM_ZipQr(benchmark::State& state) {
    const fs::path source = Source();
    const fs::path out = kCache / "zip.zip";
    RunTool(state, {"/usr/bin/zip", "-qr", out, source.filename()}, out);
}

} // namespace

BENCHMARK(BM_VelmoraDitto)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_ZipQr)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
