#include "platform/local/system/PreferenceStore.h"
#include "platform/local/files/FileLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using platform::PreferenceStore;

const QString kDomain = QStringLiteral("io.velmora.Test");

class PreferenceStoreTest : public ::testing::Test {
protected:
    QString filePath() const { return m_dir.path() + QStringLiteral("/io.velmora.Test.json"); }
    QByteArray fileBytes() const {
        QFile file(filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeFile(const QByteArray& bytes) {
        QFile file(filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QTemporaryDir m_dir;
};

TEST_F(PreferenceStoreTest, ValuesKeepTheirTypesAcrossProcesses) {
    PreferenceStore writer(m_dir.path());
    writer.setValue(QStringLiteral("Flag"), QVariant(true), kDomain);
    writer.setValue(QStringLiteral("Text"), QVariant(QStringLiteral("true")), kDomain);
    writer.setValue(QStringLiteral("Paths"), QVariant(QVariantList{"/a", "/b"}), kDomain);
    // Not written yet: another process does not see it.
    PreferenceStore reader(m_dir.path());
    EXPECT_EQ(reader.copyValue(QStringLiteral("Flag"), kDomain), std::nullopt);
    ASSERT_TRUE(writer.synchronize(kDomain));
    EXPECT_EQ(reader.copyValue(QStringLiteral("Flag"), kDomain), std::nullopt); // not synchronised
    ASSERT_TRUE(reader.synchronize(kDomain));
    EXPECT_EQ(reader.copyValue(QStringLiteral("Flag"), kDomain)->typeId(), QMetaType::Bool);
    EXPECT_EQ(reader.copyValue(QStringLiteral("Text"), kDomain)->typeId(), QMetaType::QString);
    EXPECT_EQ(reader.copyValue(QStringLiteral("Paths"), kDomain)->toStringList(),
              QStringList({"/a", "/b"}));

    writer.setValue(QStringLiteral("Flag"), std::nullopt, kDomain);
    ASSERT_TRUE(writer.synchronize(kDomain));
    ASSERT_TRUE(reader.synchronize(kDomain));
    EXPECT_EQ(reader.copyValue(QStringLiteral("Flag"), kDomain), std::nullopt);
}

TEST_F(PreferenceStoreTest, AnUnreadableFileReadsAsEmptyAndIsKeptWhenTheNextWriteRepairsIt) {
    const QList<QByteArray> brokenFiles{QByteArray("{\"ReverseOrder\": tr"), QByteArray("[true]"),
                                        QByteArray("\x00\xff\xfe", 3)};
    const QStringList keptAs{QStringLiteral(".unreadable"), QStringLiteral(".unreadable-2"),
                             QStringLiteral(".unreadable-3")};
    for (qsizetype i = 0; i < brokenFiles.size(); ++i) {
        const QByteArray& broken = brokenFiles[i];
        writeFile(broken);
        PreferenceStore store(m_dir.path());
        EXPECT_EQ(store.copyValue(QStringLiteral("ReverseOrder"), kDomain), std::nullopt);
        EXPECT_TRUE(store.synchronize(kDomain));
        EXPECT_EQ(fileBytes(), broken) << "a read must not change the file";

        store.setValue(QStringLiteral("ReverseOrder"), QVariant(true), kDomain);
        ASSERT_TRUE(store.synchronize(kDomain));
        PreferenceStore again(m_dir.path());
        EXPECT_EQ(again.copyValue(QStringLiteral("ReverseOrder"), kDomain), QVariant(true));
        // Each unreadable file keeps a name of its own: an earlier one is never replaced.
        for (qsizetype earlier = 0; earlier <= i; ++earlier) {
            QFile kept(filePath() + keptAs[earlier]);
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
            EXPECT_EQ(kept.readAll(), brokenFiles[earlier]);
        }
    }
}

// A FIFO or a link to an endless device would block or fill memory if read; each counts as an
// unreadable store, is moved aside by the next write and leaves the defaults.
TEST_F(PreferenceStoreTest, SpecialFilesAtTheStoresPathReadAsEmptyWithoutBlocking) {
    const QByteArray path = QFile::encodeName(filePath());
    const auto fifo = [&] { return mkfifo(path.constData(), 0600) == 0; };
    const auto endless = [&] { return symlink("/dev/zero", path.constData()) == 0; };
    const auto oversized = [&] {
        QFile file(filePath());
        return file.open(QIODevice::WriteOnly) && file.resize(17 * 1024 * 1024);
    };
    for (const auto& make : {std::function<bool()>(fifo), std::function<bool()>(endless),
                             std::function<bool()>(oversized)}) {
        ASSERT_TRUE(make());
        PreferenceStore store(m_dir.path());
        EXPECT_EQ(store.copyValue(QStringLiteral("ReverseOrder"), kDomain), std::nullopt);
        EXPECT_TRUE(store.synchronize(kDomain));
        store.setValue(QStringLiteral("ReverseOrder"), QVariant(true), kDomain);
        ASSERT_TRUE(store.synchronize(kDomain));
        EXPECT_EQ(PreferenceStore(m_dir.path()).copyValue(QStringLiteral("ReverseOrder"), kDomain),
                  QVariant(true));
        EXPECT_TRUE(QFileInfo(filePath() + QStringLiteral(".unreadable")).exists() ||
                    QFileInfo(filePath() + QStringLiteral(".unreadable")).isSymLink());
        QFile::remove(filePath());
        QFile::remove(filePath() + QStringLiteral(".unreadable"));
    }
}

TEST_F(PreferenceStoreTest, DomainsNameOnlyFilesInTheFolder) {
    PreferenceStore store(m_dir.path() + QStringLiteral("/velmora"));
    for (const QString& domain :
         {QStringLiteral("../escape"), QStringLiteral(".hidden"), QString()}) {
        store.setValue(QStringLiteral("Key"), QVariant(1), domain);
        EXPECT_FALSE(store.synchronize(domain));
    }
    EXPECT_FALSE(QFile::exists(m_dir.path() + QStringLiteral("/escape.json")));
}

// Two processes that change different keys at the same moment both keep their change.
TEST_F(PreferenceStoreTest, ConcurrentWritersLoseNoWrite) {
    constexpr int kRounds = 40;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    const QString mine = child == 0 ? QStringLiteral("Child") : QStringLiteral("Parent");
    {
        PreferenceStore store(m_dir.path());
        for (int round = 0; round < kRounds; ++round) {
            store.setValue(mine + QString::number(round), QVariant(round), kDomain);
            if (!store.synchronize(kDomain) && child == 0)
                _exit(1);
        }
    }
    if (child == 0)
        _exit(0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    PreferenceStore reader(m_dir.path());
    for (int round = 0; round < kRounds; ++round) {
        EXPECT_EQ(reader.copyValue(QStringLiteral("Child") + QString::number(round), kDomain),
                  QVariant(round));
        EXPECT_EQ(reader.copyValue(QStringLiteral("Parent") + QString::number(round), kDomain),
                  QVariant(round));
    }
}

// What stands in the lock file's place and cannot be one (a dangling link, a folder) is moved
// aside, and the change is saved; a lock another program holds too long fails the write, which
// keeps the change for the next one.
TEST_F(PreferenceStoreTest, TheLockFileIsRepairedAndItsWaitIsBounded) {
    const QString lock = m_dir.path() + u'/' + kDomain + QStringLiteral(".lock");
    const auto dangling = [&] {
        return ::symlink("/nonexistent/lock", QFile::encodeName(lock)) == 0;
    };
    const auto folder = [&] { return QDir().mkdir(lock); };
    for (const auto& make : {std::function<bool()>(dangling), std::function<bool()>(folder)}) {
        QFile::remove(lock);
        ASSERT_TRUE(make());
        PreferenceStore store(m_dir.path());
        store.setValue(QStringLiteral("ReverseOrder"), QVariant(true), kDomain);
        EXPECT_TRUE(store.synchronize(kDomain)) << store.lastError().toStdString();
        EXPECT_TRUE(QFileInfo(lock).isFile());
    }
    EXPECT_TRUE(QFileInfo(lock + QStringLiteral(".unusable")).isSymLink());
    EXPECT_TRUE(QFileInfo(lock + QStringLiteral(".unusable-2")).isDir());

    const auto held = platform::FileLock::acquire(lock);
    ASSERT_TRUE(held);
    PreferenceStore store(m_dir.path());
    store.setLockLimit(std::chrono::milliseconds(200));
    store.setValue(QStringLiteral("Held"), QVariant(true), kDomain);
    EXPECT_FALSE(store.synchronize(kDomain));
    EXPECT_TRUE(store.lastError().contains(QStringLiteral("too long")));
    EXPECT_EQ(store.copyValue(QStringLiteral("Held"), kDomain), QVariant(true));
}

} // namespace
