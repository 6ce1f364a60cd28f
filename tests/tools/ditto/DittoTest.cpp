// velmora-ditto run as Velmora runs it, its archives read back with libarchive's reader, and
// the central directory read by hand for what that reader hides: the raw name bytes, the UTF-8
// flag and whether an entry is stored or deflated.
#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <clocale>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Item {
    mode_t mode = 0;
    time_t mtime = 0;
    std::string target;
    std::string contents;
};

struct Directory {
    bool utf8 = false;
    int method = -1;
};

struct Outcome {
    int status = -1;
    std::string errors;
};

constexpr time_t kTime = 981173106; // 2001-02-03, far from the time the test runs

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const fs::path& path, const std::string& text, mode_t mode = 0644) {
    std::ofstream(path, std::ios::binary) << text;
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
}

void SetTime(const fs::path& path) {
    const timespec times[2] = {{kTime, 0}, {kTime, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

std::string RandomBytes(size_t size) {
    std::mt19937 generator(7);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator());
    }
    return bytes;
}

std::map<std::string, Item> ReadBack(const fs::path& zip) {
    // The reader hands names flagged UTF-8 back in the locale's character set.
    setlocale(LC_CTYPE, "C.UTF-8");
    std::map<std::string, Item> items;
    archive* reader = archive_read_new();
    archive_read_support_format_zip(reader);
    EXPECT_EQ(archive_read_open_filename(reader, zip.c_str(), 65536), ARCHIVE_OK);
    archive_entry* entry = nullptr;
    for (int status; (status = archive_read_next_header(reader, &entry)) == ARCHIVE_OK ||
                     status == ARCHIVE_WARN;) {
        EXPECT_EQ(status, ARCHIVE_OK) << archive_error_string(reader);
        Item& item = items[archive_entry_pathname(entry)];
        item.mode = archive_entry_mode(entry);
        item.mtime = archive_entry_mtime(entry);
        item.target = archive_entry_symlink(entry) ? archive_entry_symlink(entry) : "";
        char buffer[8192];
        for (la_ssize_t n; (n = archive_read_data(reader, buffer, sizeof buffer)) > 0;) {
            item.contents.append(buffer, static_cast<size_t>(n));
        }
    }
    archive_read_free(reader);
    return items;
}

// Entry names in archive order with their flags, from the central directory.
std::vector<std::pair<std::string, Directory>> CentralDirectory(const fs::path& zip) {
    const std::string bytes = Slurp(zip);
    const auto word = [&](size_t at, int size) {
        uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i) {
            value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
        }
        return static_cast<size_t>(value);
    };
    std::vector<std::pair<std::string, Directory>> names;
    const size_t end = bytes.size() - 22;
    EXPECT_EQ(bytes.substr(end, 4), "PK\5\6");
    for (size_t at = word(end + 16, 4), n = word(end + 10, 2); n > 0; --n) {
        EXPECT_EQ(bytes.substr(at, 4), "PK\1\2");
        const Directory directory{(word(at + 8, 2) & 0x800) != 0,
                                  static_cast<int>(word(at + 10, 2))};
        names.emplace_back(bytes.substr(at + 46, word(at + 28, 2)), directory);
        at += 46 + word(at + 28, 2) + word(at + 30, 2) + word(at + 32, 2);
    }
    return names;
}

Outcome Ditto(std::vector<std::string> arguments, rlim_t fileSizeLimit = RLIM_INFINITY) {
    int pipeFds[2];
    EXPECT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], STDERR_FILENO);
        close(pipeFds[0]);
        // Past the limit a write fails with EFBIG, as on a full disk, instead of killing.
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::vector<char*> argv{const_cast<char*>(VELMORA_DITTO)};
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        execv(VELMORA_DITTO, argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    Outcome run;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        run.errors.append(buffer, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class DittoTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/ditto-test-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        root_ = name;
        photos_ = root_ / "Photos";
        fs::create_directories(photos_ / "sub");
        fs::create_directories(root_ / "out");
    }
    void TearDown() override { fs::remove_all(root_); }

    // Photos/ holding names that sort differently bytewise and by locale, a link, a picture
    // larger than one read of the tool's buffer, and odd modes and fixed times everywhere.
    void MakePhotos() {
        Write(photos_ / "a.txt", "hello\n", 0640);
        Write(photos_ / "Z.txt", "", 0600);
        Write(photos_ / "pic.jpg", RandomBytes(700 * 1024));
        std::string text;
        for (int i = 0; i < 60000; ++i) {
            text += "line " + std::to_string(i) + "\n";
        }
        Write(photos_ / "sub" / "b.txt", text, 0755);
        fs::create_symlink("../a.txt", photos_ / "sub" / "up");
        ASSERT_EQ(chmod((photos_ / "sub").c_str(), 0750), 0);
        for (const char* name : {"a.txt", "Z.txt", "pic.jpg", "sub/b.txt", "sub/up", "sub", ""}) {
            SetTime(photos_ / name);
        }
    }

    void ExpectPhotos(const fs::path& zip, const std::string& top) {
        std::vector<std::string> names;
        for (const auto& [name, directory] : CentralDirectory(zip)) {
            names.push_back(name);
        }
        std::vector<std::string> expected{"Z.txt", "a.txt",     "pic.jpg",
                                          "sub/",  "sub/b.txt", "sub/up"};
        for (std::string& name : expected) {
            name = top + name;
        }
        if (!top.empty()) {
            expected.insert(expected.begin(), top);
        }
        EXPECT_EQ(names, expected);

        auto items = ReadBack(zip);
        EXPECT_EQ(items[top + "a.txt"].mode, S_IFREG | 0640);
        EXPECT_EQ(items[top + "a.txt"].contents, "hello\n");
        EXPECT_EQ(items[top + "pic.jpg"].contents, Slurp(photos_ / "pic.jpg"));
        EXPECT_EQ(items[top + "sub/b.txt"].contents, Slurp(photos_ / "sub" / "b.txt"));
        EXPECT_EQ(items[top + "sub/b.txt"].mode, S_IFREG | 0755);
        EXPECT_EQ(items[top + "sub/"].mode, S_IFDIR | 0750);
        EXPECT_EQ(items[top + "sub/up"].mode & S_IFMT, S_IFLNK);
        EXPECT_EQ(items[top + "sub/up"].target, "../a.txt");
        for (const auto& [name, item] : items) {
            EXPECT_EQ(item.mtime, kTime) << name;
        }
    }

    // A failed run leaves ARCHIVE as it was and no temporary file beside it.
    void ExpectFailure(const Outcome& run, const std::string& named) {
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.errors.find(named), std::string::npos) << run.errors;
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
        EXPECT_EQ(Slurp(root_ / "out" / "Photos.zip"), "earlier archive");
        EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "out"), {}), 1);
    }

    std::string zip() const { return (root_ / "out" / "Photos.zip").string(); }

    fs::path root_;
    fs::path photos_;
};

// Without --keepParent the folder's contents are the top entries; with it the folder itself is.
// Only what compresses is deflated.
TEST_F(DittoTest, BothLayoutsKeepEveryEntryAndDeflateOnlyWhatCompresses) {
    MakePhotos();
    ASSERT_EQ(Ditto({"-c", "-k", "-X", "--sequesterRsrc", photos_, zip()}).status, 0);
    ExpectPhotos(zip(), "");
    std::map<std::string, int> methods;
    for (const auto& [name, directory] : CentralDirectory(zip())) {
        methods[name] = directory.method;
    }
    EXPECT_EQ(methods["pic.jpg"], 0);
    EXPECT_EQ(methods["sub/b.txt"], 8);

    ASSERT_EQ(Ditto({"-ck", "--keepParent", photos_.string() + "/", zip()}).status, 0);
    ExpectPhotos(zip(), "Photos/");
    EXPECT_EQ(ReadBack(zip())["Photos/"].mode, S_IFDIR | 0755);
}

TEST_F(DittoTest, NamesKeepTheirBytesAndOnlyUtf8IsFlagged) {
    Write(photos_ / "caf\xc3\xa9.txt", "utf-8");
    Write(photos_ / "bad\xff.txt", "latin");
    ASSERT_EQ(Ditto({"-c", "-k", photos_, zip()}).status, 0);
    const auto directory = CentralDirectory(zip());
    ASSERT_EQ(directory.size(), 3u);
    EXPECT_EQ(directory[0].first, "bad\xff.txt");
    EXPECT_FALSE(directory[0].second.utf8);
    EXPECT_EQ(directory[1].first, "caf\xc3\xa9.txt");
    EXPECT_TRUE(directory[1].second.utf8);
    EXPECT_EQ(ReadBack(zip())["bad\xff.txt"].contents, "latin");
}

TEST_F(DittoTest, AnArchiveInsideTheSourceIsLeftOut) {
    Write(photos_ / "a.txt", "hello\n");
    const std::string inside = (photos_ / "Photos.zip").string();
    ASSERT_EQ(Ditto({"-c", "-k", photos_, inside}).status, 0);
    const auto items = ReadBack(inside);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items.begin()->first, "a.txt");
    ASSERT_EQ(Ditto({"-c", "-k", photos_, inside}).status, 0);
    EXPECT_EQ(ReadBack(inside).size(), 2u);
}

TEST_F(DittoTest, FailuresNameThePathAndKeepTheEarlierArchive) {
    Write(zip(), "earlier archive");
    Write(photos_ / "a.txt", "hello\n");

    ExpectFailure(Ditto({"-c", "-k", root_ / "missing", zip()}), (root_ / "missing").string());

    ASSERT_EQ(mkfifo((photos_ / "sub" / "pipe").c_str(), 0644), 0);
    ExpectFailure(Ditto({"-c", "-k", photos_, zip()}), (photos_ / "sub" / "pipe").string());
    fs::remove(photos_ / "sub" / "pipe");

    // The limit lets the archive begin but not hold a megabyte that does not compress.
    Write(photos_ / "movie.mov", RandomBytes(1024 * 1024));
    ExpectFailure(Ditto({"-c", "-k", photos_, zip()}, 256 * 1024), zip());
    fs::remove(photos_ / "movie.mov");

    if (geteuid() != 0) {
        Write(photos_ / "secret.txt", "x", 0);
        ExpectFailure(Ditto({"-c", "-k", photos_, zip()}), (photos_ / "secret.txt").string());
        fs::remove(photos_ / "secret.txt");
        ASSERT_EQ(chmod((photos_ / "sub").c_str(), 0), 0);
        ExpectFailure(Ditto({"-c", "-k", photos_, zip()}), (photos_ / "sub").string());
        ASSERT_EQ(chmod((photos_ / "sub").c_str(), 0755), 0);
    }

    const Outcome run = Ditto({"-c", "-k", photos_, (root_ / "nowhere" / "Photos.zip").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find((root_ / "nowhere").string()), std::string::npos) << run.errors;
}

TEST_F(DittoTest, WrongCommandLinesAreRefused) {
    Write(photos_ / "a.txt", "hello\n");
    const std::vector<std::vector<std::string>> wrong{{"-k", photos_, zip()},
                                                      {"-c", photos_, zip()},
                                                      {"-c", "-k", "-v", photos_, zip()},
                                                      {"-c", "-k", "--rsrcFork", photos_, zip()},
                                                      {"-c", "-k", photos_},
                                                      {"-c", "-k", photos_, zip(), zip() + "2"},
                                                      {"-x", "-k", zip(), photos_}};
    for (const auto& arguments : wrong) {
        const Outcome run = Ditto(arguments);
        EXPECT_EQ(run.status, 2) << arguments.size();
        EXPECT_NE(run.errors.find("usage:"), std::string::npos);
    }
    EXPECT_TRUE(fs::is_empty(root_ / "out"));
}

} // namespace
