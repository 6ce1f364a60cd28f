// What the user waits for with the Filenames submenu and the file manager's order: "Uppercase
// Name" on a selected folder of 10,000 files (each file renamed on disk), and sorting 100,000
// names like the file manager.
//
// BM_RenameLoopOnFolder is the floor "Uppercase Name" is measured against: the same folder, the
// same names, each file given its upper-case name by one renameat2(RENAME_NOREPLACE) with
// nothing else around it. Compare the two medians of one run, as the machine's load changes
// from run to run.
//
// With --names-out=FILE the 100,000 names are written there, one a line, so that other sorters
// can be timed on exactly the same input.
#include "commands/filenames/FilenameOperations.h"
#include "common/ItemKinds.h"
#include "common/ItemLists.h"
#include "common/ItemNames.h"
#include "common/ScriptText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cctype>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr int kFolderFiles = 10'000;
constexpr int kSortNames = 100'000;

// Names as people and cameras make them: numbered series, dates, mixed case, accents and
// punctuation, so that every option of the collation is exercised.
QStringList sampleNames() {
    const char* const words[] = {"report",    "Photo", "IMG_",  "notes",
                                 "Résumé",    "draft", "File",  "invoice",
                                 "Übersicht", "scan",  "track", "Meeting-notes"};
    const char* const extensions[] = {".pdf", ".JPG", ".txt", ".docx", "", ".tar.gz"};
    QRandomGenerator random(2026);
    QStringList names;
    names.reserve(kSortNames);
    for (int n = 0; n < kSortNames; ++n) {
        const int pattern = int(random.bounded(4));
        const QString word = QString::fromUtf8(words[random.bounded(int(std::size(words)))]);
        const QString extension =
            QString::fromUtf8(extensions[random.bounded(int(std::size(extensions)))]);
        const int number = int(random.bounded(100'000));
        if (pattern == 0)
            names << word + QStringLiteral(" %1").arg(number) + extension;
        else if (pattern == 1)
            names << word + QStringLiteral("%1").arg(number, 5, 10, QLatin1Char('0')) + extension;
        else if (pattern == 2)
            names << word +
                         QStringLiteral(" 2024-%1-%2 (%3)")
                             .arg(number % 12 + 1)
                             .arg(number % 28 + 1)
                             .arg(number % 7) +
                         extension;
        else
            names << word.toUpper() + QStringLiteral(" v%1.%2").arg(number % 20).arg(number % 13) +
                         extension;
    }
    return names;
}

// The selected folder: kFolderFiles empty files with lower-case names.
QString makeFolder(const QTemporaryDir& dir) {
    const QString folder = dir.path() + QStringLiteral("/selected");
    QDir().mkpath(folder);
    for (int n = 0; n < kFolderFiles; ++n) {
        QFile file(folder + QStringLiteral("/document number %1.txt").arg(n));
        file.open(QIODevice::WriteOnly);
    }
    return folder;
}

void BM_UppercaseNameOnFolder(benchmark::State& state) {
    QTemporaryDir dir;
    const QString folder = makeFolder(dir);
    for (auto _ : state) {
        ApplyFilenameOperation({folder}, kUppercaseNameOperation);
        state.PauseTiming();
        ApplyFilenameOperation({folder}, kLowercaseNameOperation);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFolderFiles);
}

// Renames every entry from one name to the other, in the order given.
void renameAll(int folder, const std::vector<std::pair<std::string, std::string>>& names,
               bool forward, benchmark::State& state) {
    for (const auto& [lower, upper] : names) {
        const char* from = forward ? lower.c_str() : upper.c_str();
        const char* to = forward ? upper.c_str() : lower.c_str();
        if (renameat2(folder, from, folder, to, RENAME_NOREPLACE) != 0) {
            state.SkipWithError("renameat2 failed");
            return;
        }
    }
}

void BM_RenameLoopOnFolder(benchmark::State& state) {
    QTemporaryDir dir;
    const QString folder = makeFolder(dir);
    const int folderFd = open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    DIR* listing = fdopendir(dup(folderFd));
    std::vector<std::pair<std::string, std::string>> names;
    while (const dirent* entry = readdir(listing)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        std::string upper = name;
        for (char& c : upper)
            c = char(std::toupper(static_cast<unsigned char>(c)));
        names.emplace_back(std::move(name), std::move(upper));
    }
    closedir(listing);
    for (auto _ : state) {
        renameAll(folderFd, names, true, state);
        state.PauseTiming();
        renameAll(folderFd, names, false, state);
        state.ResumeTiming();
    }
    close(folderFd);
    state.SetItemsProcessed(state.iterations() * kFolderFiles);
}

void BM_FinderSort(benchmark::State& state) {
    const QStringList names = sampleNames();
    for (auto _ : state) {
        state.PauseTiming();
        QStringList copy = names;
        copy.detach();
        state.ResumeTiming();
        SortCFMutableArrayOfCFStringsLikeTheFinder(copy);
        benchmark::DoNotOptimize(copy.constData());
    }
    state.SetItemsProcessed(state.iterations() * names.size());
}

BENCHMARK(BM_UppercaseNameOnFolder)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenameLoopOnFolder)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FinderSort)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const char* const flag = "--names-out=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], flag, std::strlen(flag)) != 0)
            continue;
        QFile out(QFile::decodeName(argv[i] + std::strlen(flag)));
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        out.write(sampleNames().join(u'\n').toUtf8() + '\n');
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
