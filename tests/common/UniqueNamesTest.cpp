// Temporary folders, duplicate names, output files and copies, on a world's files.
#include "common/UniqueNames.h"
#include "platform/local/files/Files.h"
#include "platform/world/World.h"
#include "tests/support/FileTree.h"
#include "tests/support/QtPrinters.h"

#include <QRegularExpression>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QString kUuid =
    QStringLiteral("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");

bool matches(const QString& text, const QString& pattern) {
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(text).hasMatch();
}

class UniqueNamesTest : public ::testing::Test {
protected:
    FSRef ref(const QString& name) const {
        FSRef result{};
        EXPECT_EQ(FSPathMakeRef(QFile::encodeName(m_files.path(name)), &result), noErr);
        return result;
    }
    static QString pathOf(const FSRef& item) {
        QByteArray bytes;
        EXPECT_EQ(FSRefCopyPath(&item, &bytes), noErr);
        return QFile::decodeName(bytes);
    }
    platform::world::World m_world;
    platform::ScopedPlatform m_installed{m_world.services()};
    fixtures::FileTree m_files{m_world.root()};
};

TEST_F(UniqueNamesTest, DuplicateNamesSetOnlyTheLastExtensionApart) {
    m_files.folder("dest");
    const FSRef dest = ref("dest");
    const std::pair<const char*, QString> cases[] = {
        {"archive.tar.gz", "archive\\.tar - " + kUuid + "\\.gz"},
        {"Notes", "Notes - " + kUuid},
        {".profile", "\\.profile - " + kUuid},
    };
    for (const auto& [name, pattern] : cases) {
        const FSRef source = ref(m_files.file(name).mid(m_world.root().size() + 1));
        EXPECT_FALSE(RenameDuplicateFile(&dest, &source)) << name;
        m_files.file(QStringLiteral("dest/") + name);
        const auto duplicate = RenameDuplicateFile(&dest, &source);
        EXPECT_TRUE(duplicate && matches(*duplicate, pattern)) << name;
    }
}

TEST_F(UniqueNamesTest, ExistenceAndFolders) {
    const FSRef root = ref(".");
    m_files.file("taken");
    FSRef found{};
    EXPECT_FALSE(FSObjectExists(&root, "free", &found));
    EXPECT_TRUE(FSObjectExists(&root, "taken", &found));
    EXPECT_EQ(pathOf(found), m_files.path("taken"));
    EXPECT_TRUE(FSObjectExists(&root, "a/b", nullptr));

    FSRef made, again;
    ASSERT_EQ(FSCreateDirectory(&root, "Velmora", &made), noErr);
    ASSERT_EQ(FSCreateDirectory(&root, "Velmora", &again), noErr);
    EXPECT_TRUE(FSCompareFSRefs(&made, &again));
    // A file or a refused name gives no folder to write into, and says so.
    EXPECT_EQ(FSCreateDirectory(&root, "taken", &again), errFSNotAFolder);
    EXPECT_EQ(FSCreateDirectory(&root, "..", &again), bdNamErr);
}

TEST_F(UniqueNamesTest, EachJobGetsItsOwnPrivateFolder) {
    const auto first = TemporaryItemsFolderPath();
    const auto second = TemporaryItemsFolderPath();
    ASSERT_TRUE(first && second);
    const QString velmora = QRegularExpression::escape(m_world.temp() + "/Velmora/");
    EXPECT_TRUE(matches(*first, velmora + kUuid) && matches(*second, velmora + kUuid));
    EXPECT_NE(*first, *second);
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(*second).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(UniqueNamesTest, PlantedOrOpenTemporaryFoldersAreNeverUsed) {
    const QByteArray temp = QFile::encodeName(m_world.temp());
    const QByteArray velmora = temp + "/Velmora";
    ASSERT_EQ(::symlink(QFile::encodeName(m_files.folder("elsewhere")), velmora), 0);
    EXPECT_FALSE(TemporaryItemsFolderPath());
    EXPECT_EQ(m_files.snapshot(), QStringList{"elsewhere"});
    ASSERT_EQ(::unlink(velmora), 0);

    ASSERT_EQ(::mkdir(velmora, 0700), 0);
    for (const auto& [folder, mode] : {std::pair{velmora, 0777}, std::pair{temp, 0733}}) {
        ASSERT_EQ(::chmod(folder, mode), 0);
        EXPECT_FALSE(TemporaryItemsFolderPath()) << folder.constData();
        ASSERT_EQ(::chmod(folder, 0700), 0);
    }
    ASSERT_TRUE(TemporaryItemsFolderPath());
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(velmora, 65534, 65534), 0);
        EXPECT_FALSE(TemporaryItemsFolderPath());
    }
}

TEST_F(UniqueNamesTest, OnlyJobsFinishedLongAgoAreRemovedAndLinksAreNotFollowed) {
    const QString old = *TemporaryItemsFolderPath();
    const QString fresh = *TemporaryItemsFolderPath();
    const QString kept = m_files.file(QStringLiteral("kept.txt"));
    ASSERT_TRUE(QFile::link(m_world.root(), old + QStringLiteral("/link to the root")));
    ASSERT_TRUE(QFile(old + QStringLiteral("/f.pdf")).open(QIODevice::WriteOnly));
    const QString parcelo = m_world.temp() + QStringLiteral("/Parcelo/ABC");
    ASSERT_TRUE(QDir().mkpath(parcelo));
    const struct timespec twoDaysAgo[2] = {{time(nullptr) - 2 * 86400, 0},
                                           {time(nullptr) - 2 * 86400, 0}};
    for (const QString& folder : {old, parcelo})
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(folder).constData(), twoDaysAgo, 0), 0);

    RemoveOldTemporaryItems(kTemporaryItemsGraceSeconds);

    EXPECT_FALSE(QFileInfo::exists(old));
    EXPECT_FALSE(QFileInfo::exists(parcelo));
    EXPECT_TRUE(QFileInfo(fresh).isDir());
    EXPECT_TRUE(QFileInfo(kept).isFile()) << "a link in a job's folder was followed";
}

TEST_F(UniqueNamesTest, OutputFileReplacesOnlyWhatItMay) {
    m_files.file("out/icon.png", "old picture");
    m_files.link("out/doc.pdf", m_files.file("precious", "keep"));
    m_files.file("out/busy/inside", "inside");
    const FSRef out = ref("out");
    FSSpec spec;
    ASSERT_EQ(MakeOutputFile("icon.png", &out, &spec), noErr);
    EXPECT_EQ(pathOf(spec.ref), m_files.path("out/icon.png"));
    // A link in the name's place goes, not what it points to; a folder with something in it
    // stays, and the user is told.
    ASSERT_EQ(MakeOutputFile("doc.pdf", &out, &spec), noErr);
    EXPECT_NE(MakeOutputFile("busy", &out, &spec), noErr);
    EXPECT_EQ(m_files.snapshot(),
              QStringList({"out", "out/busy", "out/busy/inside = inside",
                           "out/doc.pdf = ", "out/icon.png = ", "precious = keep"}));
    const auto alerts = m_world.eventsOf<platform::world::events::Alert>();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].message, QStringLiteral("The output file could not be created."));
}

TEST_F(UniqueNamesTest, CopiesTakeANameOfTheirOwn) {
    m_files.file("Photos/trip/a.png", "png");
    m_files.file("dest/Photos/mine.txt", "mine");
    const FSRef source = ref("Photos");
    const FSRef dest = ref("dest");
    FSRef copy;
    ASSERT_EQ(MoveObjectRef3(&source, &dest, &copy), noErr);
    const QString copied = pathOf(copy).mid(m_world.root().size() + 1);
    EXPECT_TRUE(matches(copied, "dest/Photos - " + kUuid));
    QStringList expected = {"Photos", "Photos/trip",    "Photos/trip/a.png = png",
                            "dest",   "dest/Photos",    "dest/Photos/mine.txt = mine",
                            copied,   copied + "/trip", copied + "/trip/a.png = png"};
    expected.sort();
    EXPECT_EQ(m_files.snapshot(), expected);

    const FSRef notes = ref(m_files.file("notes.txt").mid(m_world.root().size() + 1));
    ASSERT_EQ(MoveObjectRef3(&notes, &dest, &copy), noErr);
    EXPECT_EQ(pathOf(copy), m_files.path("dest/notes.txt"));
    // Into its own folder: nothing is copied.
    const FSRef root = ref(".");
    const QStringList before = m_files.snapshot();
    EXPECT_EQ(MoveObjectRef3(&notes, &root, &copy), noErr);
    EXPECT_EQ(m_files.snapshot(), before);
}

} // namespace
