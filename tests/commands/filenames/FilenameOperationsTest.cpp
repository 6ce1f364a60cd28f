// The Filenames operations on real files of a world's root, with the world's clipboard.
#include "commands/filenames/FilenameOperations.h"
#include "common/ItemKinds.h"
#include "common/ItemLists.h"
#include "common/ItemNames.h"
#include "common/ScriptText.h"
#include "platform/local/files/Files.h"
#include "platform/world/World.h"
#include "tests/support/FileTree.h"
#include "tests/support/QtPrinters.h"

#include <QJsonDocument>
#include <clocale>
#include <fcntl.h>
#include <gtest/gtest.h>

namespace {

class FilenamesTest : public ::testing::Test {
protected:
    void setClipboard(const QByteArray& text) {
        m_world.clipboard.items = {{{{QStringLiteral("public.utf8-plain-text"), text}}}};
        m_world.clipboard.modified = true;
    }
    platform::world::World m_world;
    platform::ScopedPlatform m_installed{m_world.services()};
    fixtures::FileTree m_files{m_world.root()};
};

TEST_F(FilenamesTest, NoOperationEverReplacesAnotherItem) {
    struct Case {
        long code;
        const char* clipboard;
        const char* name;
        const char* taken; // the name the operation would give
    };
    const Case cases[] = {
        {kAppendClipboardOperation, "-old", "report.pdf", "report-old.pdf"},
        {kAppendClipboardOperation, "-old", "README", "README-old"},
        {kPrependClipboardOperation, "2024 ", "notes.txt", "2024 notes.txt"},
        {kSetNameClipboardOperation, "Summary", "letter.docx", "Summary.docx"},
        {kUppercaseNameOperation, "", "notes.txt", "NOTES.TXT"},
        {kLowercaseNameOperation, "", "README.MD", "readme.md"},
        {kCapitalizeNameOperation, "", "HELLO WORLD", "Hello World"},
    };
    for (const Case& c : cases) {
        const QString name = QString::fromUtf8(c.name), taken = QString::fromUtf8(c.taken);
        for (const QString kind : {"file", "folder", "link", "dangling link"}) {
            SCOPED_TRACE((name + u' ' + kind).toStdString());
            m_files.clear();
            setClipboard(c.clipboard);
            m_files.file(name, "mine");
            if (kind == u"file")
                m_files.file(taken, "theirs");
            else if (kind == u"folder")
                m_files.file(taken + QStringLiteral("/inside"), "theirs");
            else
                m_files.link(taken, kind == u"link" ? name : QStringLiteral("nowhere"));
            const QStringList before = m_files.snapshot();
            ApplyFilenameOperation({m_files.path(name)}, c.code);
            EXPECT_EQ(m_files.snapshot(), before);
        }
    }
}

// A link, selected or inside a selected folder, is the item it is: the flag of the file it points
// to, in a folder outside the selection, is never read or written.
TEST_F(FilenamesTest, ExtensionFlagsNeverReachThroughALinkOutsideTheSelection) {
    const QString target = m_files.file(QStringLiteral("other/target.txt"), "t");
    m_files.folder(QStringLiteral("selected"));
    m_files.link(QStringLiteral("selected/link.txt"), QStringLiteral("../other/target.txt"));
    m_files.link(QStringLiteral("alone.txt"), QStringLiteral("other/target.txt"));
    FSRef ref;
    ASSERT_EQ(FSPathMakeRef(QFile::encodeName(target), &ref), noErr);
    const QStringList before = m_files.snapshot();
    for (const bool targetHidden : {false, true}) {
        ASSERT_EQ(LSSetExtensionHiddenForRef(&ref, targetHidden), noErr);
        for (const long code :
             {kHideExtensionOperation, kShowExtensionOperation, kToggleExtensionOperation}) {
            SCOPED_TRACE(code);
            ApplyFilenameOperation({m_files.path("selected"), m_files.path("alone.txt")}, code);
            Boolean hidden = !targetHidden;
            ASSERT_EQ(LSGetExtensionHiddenForRef(&ref, &hidden), noErr);
            EXPECT_EQ(bool(hidden), targetHidden);
            EXPECT_EQ(m_files.snapshot(), before);
        }
    }
}

// No text, or a text that makes a name the file system refuses: nothing changes.
TEST_F(FilenamesTest, ClipboardTextThatMakesNoNameChangesNothing) {
    m_files.file("a.docx", "mine");
    const QStringList before = m_files.snapshot();
    m_world.clipboard.items.clear();
    ApplyFilenameOperation({m_files.path("a.docx")}, kPrependClipboardOperation);
    for (const QByteArray& bad : {QByteArray("../up-"), QByteArray(300, 'x')}) {
        setClipboard(bad);
        ApplyFilenameOperation({m_files.path("a.docx")}, kPrependClipboardOperation);
    }
    EXPECT_EQ(m_files.snapshot(), before);
}

TEST_F(FilenamesTest, NamesFromClipboardText) {
    const std::tuple<int, const char*, const char*, const char*> cases[] = {
        {kAppendClipboardMode, "archive.tar.gz", "-1", "archive.tar-1.gz"},
        {kAppendClipboardMode, ".profile", "-old", ".profile-old"},
        {kSetNameClipboardMode, "notes. draft", "Summary", "Summary"},
        {kSetNameClipboardMode, "letter.docx", "", nullptr},
        {4, "letter.docx", "x", nullptr},
    };
    for (const auto& [mode, name, text, expected] : cases)
        EXPECT_EQ(NameWithClipboardText(QString::fromUtf8(name), mode, QString::fromUtf8(text)),
                  expected ? std::optional(QString::fromUtf8(expected)) : std::nullopt)
            << name;
}

TEST_F(FilenamesTest, PlainFolderStandsForItsVisibleChildren) {
    m_files.file("outside/far.txt");
    m_files.file("sel/a.txt");
    m_files.file("sel/.hidden");
    m_files.file("sel/sub/deep.txt");
    m_files.folder("sel/Inner.app/Contents");
    m_files.link("sel/link", "../outside");
    // A name that is not UTF-8 cannot be read as text, so it is never written back.
    const QByteArray notUtf8 = QFile::encodeName(m_files.path("sel/")) + "bad-\xff.txt";
    ::close(::open(notUtf8.constData(), O_WRONLY | O_CREAT, 0644));
    m_files.folder("Tool.app/Contents");
    m_files.link("to-outside", "outside");

    ApplyFilenameOperation({m_files.path("sel"), m_files.path("Tool.app"),
                            m_files.path("to-outside"), m_files.path("gone")},
                           kUppercaseNameOperation);
    EXPECT_EQ(m_files.snapshot(),
              QStringList({"TO-OUTSIDE -> outside", "TOOL.APP", "TOOL.APP/Contents", "outside",
                           "outside/far.txt = x", "sel", "sel/.hidden = x", "sel/A.TXT = x",
                           "sel/INNER.APP", "sel/INNER.APP/Contents", "sel/LINK -> ../outside",
                           "sel/SUB", "sel/SUB/deep.txt = x"}));
    EXPECT_EQ(::access(notUtf8.constData(), F_OK), 0);
}

// A reference whose item was replaced, renamed or deleted since it was made renames nothing: not
// the newcomer under the old name, not the item under its new name.
TEST_F(FilenamesTest, RenamesNeverReachAnItemTheReferenceDoesNotName) {
    setClipboard("-old");
    const QString path = m_files.file("notes.txt", "mine");
    FSRef ref;
    ASSERT_EQ(FSPathMakeRef(QFile::encodeName(path), &ref), noErr);
    ASSERT_EQ(::rename(QFile::encodeName(path), QFile::encodeName(m_files.path("moved.txt"))), 0);
    m_files.file("notes.txt", "impostor");
    for (const bool deleted : {false, true}) {
        if (deleted) {
            m_files.clear();
            m_files.file("notes.txt", "impostor");
        }
        const QStringList before = m_files.snapshot();
        for (const long code : {kUppercaseNameOperation, kCapitalizeNameOperation,
                                kAppendClipboardOperation, kSetNameClipboardOperation}) {
            FSRef copy = ref;
            ProcessItemFilename(&copy, code);
            EXPECT_EQ(m_files.snapshot(), before) << code;
        }
    }
}

TEST_F(FilenamesTest, FinderOrderUnderTheCLocale) {
    std::setlocale(LC_ALL, "C");
    QStringList names = {"File 10", "file 2", "File 1"};
    SortCFMutableArrayOfCFStringsLikeTheFinder(names);
    EXPECT_EQ(names, QStringList({"File 1", "file 2", "File 10"}));
    // A shorter text first, then spaces and punctuation before digits before letters, and an
    // accent only after the letters themselves.
    names = {"b-2", "B1", "a 10", "A9", "a_1", "ab", "Ä", "a"};
    SortCFMutableArrayOfCFStringsLikeTheFinder(names);
    EXPECT_EQ(names, QStringList({"a", "Ä", "a 10", "a_1", "A9", "ab", "b-2", "B1"}));
    EXPECT_EQ(CompareLikeTheFinder("ａｂｃ", "ABC"), 0);     // width and case
    EXPECT_EQ(CompareLikeTheFinder("e\u0301", "\u00e9"), 0); // composed or not
    // The sort goes by collation keys; they must agree with the comparison.
    for (qsizetype i = 0; i + 1 < names.size(); ++i)
        EXPECT_LT(CompareLikeTheFinder(names.at(i), names.at(i + 1)), 0) << i;
}

TEST_F(FilenamesTest, QuotedPathListReadsBackExactly) {
    // The dialect's string literal reader: "\\" and "\"" are its escapes.
    const auto read = [](const QString& list) {
        QStringList paths;
        for (qsizetype i = 0; i < list.size(); ++i) {
            if (list.at(i) != u'"')
                continue;
            QString path;
            for (++i; i < list.size() && list.at(i) != u'"'; ++i)
                path += list.at(i) == u'\\' ? list.at(++i) : list.at(i);
            paths << path;
        }
        return paths;
    };
    FSRef gone;
    ASSERT_EQ(FSPathMakeRef(QFile::encodeName(m_files.file("gone")), &gone), noErr);
    QFile::remove(m_files.path("gone"));
    QString list;
    AddFilePathToPaths(&gone, list);
    EXPECT_TRUE(list.isEmpty());
    QStringList expected;
    for (const QString name : {"plain.txt", "say \"hi\".txt", "back\\slash\\\".txt", "a\nb"}) {
        FSRef item;
        ASSERT_EQ(FSPathMakeRef(QFile::encodeName(m_files.file(name)), &item), noErr);
        AddFilePathToPaths(&item, list);
        AddFilePathToPaths(&gone, list);
        expected << m_files.path(name);
    }
    EXPECT_TRUE(list.startsWith(u'"'));
    EXPECT_EQ(list.count(QStringLiteral("\", \"")), 3);
    EXPECT_EQ(read(list), expected);
}

} // namespace
