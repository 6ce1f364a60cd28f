#include "platform/local/contacts/AddressBook.h"
#include "platform/local/contacts/VCard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using addressbook::AddressBook;
using addressbook::Person;

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Content lines with folding undone, for a file whose lines all end in CRLF.
QByteArrayList logicalLines(QByteArray bytes) {
    bytes.replace("\r\n ", "").replace("\r\n", "\n");
    bytes.chop(1);
    return bytes.split('\n');
}

// What every written card file must hold.
void expectWellFormedFile(const QByteArray& bytes) {
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
    EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n"));
    const QByteArrayList lines = logicalLines(bytes);
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.front(), "BEGIN:VCARD");
    EXPECT_EQ(lines[1], "VERSION:4.0");
    EXPECT_EQ(lines.back(), "END:VCARD");
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const QByteArray& line) { return line.startsWith("UID:"); }));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const QByteArray& line) { return line.startsWith("FN:"); }));
}

TEST(VCardText, LongUtf8LinesFoldBetweenCharactersAndUnfoldBack) {
    // Shifting the text by one to three octets puts every byte of each character at the fold.
    for (int shift = 0; shift < 4; ++shift) {
        const QString note = QString(shift, u'x') + QStringLiteral("Zoë 東京, 😀;").repeated(30);
        VCard card;
        card.properties.push_back({{}, "NOTE", {{"LANGUAGE", "de"}}, note, EscapeText(note)});
        const QByteArray text = WriteVCard(card);
        const std::vector<VCard> cards = ParseVCards(text);
        ASSERT_EQ(cards.size(), 1u);
        EXPECT_EQ(UnescapeText(cards[0].properties.back().raw), note);
        const QByteArrayList physical = QByteArray(text).replace("\r\n", "\n").split('\n');
        for (const QByteArray& line : physical) {
            EXPECT_LE(line.size(), 75);
            EXPECT_EQ(QString::fromUtf8(line).toUtf8(), line) << "shift " << shift;
        }
    }
    // Other tools fold with a tab and end lines with LF alone.
    const std::vector<VCard> cards = ParseVCards("BEGIN:VCARD\nNOTE:ab\n\tcd\n e\nEND:VCARD\n");
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].properties[0].raw, "abcde");
}

TEST(VCardText, EscapesRoundTripAndComponentsSplitAtUnescapedSemicolons) {
    const QByteArray escaped = EscapeText(QStringLiteral("a,b;c\\d\ne\r\nf\rg"));
    EXPECT_EQ(escaped, "a\\,b\\;c\\\\d\\ne\\nf\\ng");
    EXPECT_EQ(UnescapeText(escaped), QStringLiteral("a,b;c\\d\ne\nf\ng"));
    EXPECT_EQ(UnescapeText("x\\Ny\\:z\\"), QStringLiteral("x\ny\\:z\\"));
    EXPECT_EQ(SplitComponents("Doe\\;Jr;Ann\\, Jo;;\\\\;"),
              QStringList({"Doe;Jr", "Ann, Jo", "", "\\", ""}));
}

TEST(VCardText, DamagedCardsAreSkippedAndCountedWithoutLosingTheirNeighbours) {
    const QByteArray good = "BEGIN:VCARD\r\nFN:Good\r\nEND:VCARD\r\n";
    const QByteArray text =
        good + "BEGIN:VCARD\r\nFN:x\r\nNo colon\r\nEND:VCARD\r\n" +
        "BEGIN:VCARD\r\nFN:x\r\nBEGIN:VCARD\r\nFN:y\r\nEND:VCARD\r\nEND:VCARD\r\n" +
        "BEGIN:VCARD\r\nFN:\xC3\x28\r\nEND:VCARD\r\n" +
        "BEGIN:VCARD\r\nFN:\xC0\xAF\r\nEND:VCARD\r\n" +
        "BEGIN:VCARD\r\nNOTE;X=\"a:b\r\nEND:VCARD\r\n" + good + "stray text\r\n" +
        "BEGIN:VCARD\r\nFN:no end\r\n";
    int skipped = 0;
    const std::vector<VCard> cards = ParseVCards(text, &skipped);
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_EQ(cards[1].properties[0].value, QStringLiteral("Good"));
    EXPECT_EQ(skipped, 7);

    const QByteArray crowded =
        "BEGIN:VCARD\r\n" + QByteArray("NOTE:x\r\n").repeated(10001) + "END:VCARD\r\n";
    EXPECT_TRUE(ParseVCards(crowded, &skipped).empty());
    EXPECT_EQ(skipped, 1);
}

class AddressBookTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.path() + u'/' + name; }
    QTemporaryDir m_dir;
};

TEST_F(AddressBookTest, AGroupFromAnotherToolKeepsWhatThisCodeDoesNotOwn) {
    const QByteArrayList foreign = {"X-CUSTOM;X-PARAM=\"a;b:c\";type=WORK:keep\\, as is",
                                    "item1.X-ABLABEL:_$!<Other>!$_",
                                    "PHOTO;MEDIATYPE=image/png:data:image/png;base64,iVBORw0KGgo="};
    writeBytes(path("team.vcf"), "BEGIN:VCARD\nVERSION:4.0\nuid:urn:uuid:11111111-2222-3333-"
                                 "4444-555555555555\nkind:group\nfn:Team\n" +
                                     foreign.join('\n') +
                                     "\nNOTE:folded by another tool with a ta\n\tb\n"
                                     "member:urn:uuid:aaaaaaaa-0000-0000-0000-000000000001\n"
                                     "END:VCARD\n");
    const QByteArray ana = "BEGIN:VCARD\nVERSION:3.0\nUID:ana-1\nn:Lima;Ana;;;\nFN:Ana Lima\n"
                           "email;type=INTERNET,WORK:ana@example.org\n"
                           "EMAIL;TYPE=\"pref,home\":ana@home.example\nEMAIL:ana@x.example\n"
                           "END:VCARD\n";
    writeBytes(path("ana.vcf"), ana);

    AddressBook book(m_dir.path());
    ASSERT_EQ(book.people().size(), 1u);
    const Person& person = book.people()[0];
    EXPECT_EQ(person.uid, QStringLiteral("ana-1"));
    EXPECT_EQ(person.first, QStringLiteral("Ana"));
    EXPECT_EQ(person.last, QStringLiteral("Lima"));
    ASSERT_EQ(person.emails.size(), 3u);
    EXPECT_EQ(person.emails[0].label, QStringLiteral("work"));
    EXPECT_EQ(person.emails[1].label, QStringLiteral("home"));
    EXPECT_EQ(person.emails[2].label, QStringLiteral("other"));
    const int team = book.findGroup(QStringLiteral("team"));
    ASSERT_EQ(team, 0);
    book.addMember(team, 0);
    ASSERT_TRUE(book.save());

    const QByteArray written = readBytes(path("team.vcf"));
    expectWellFormedFile(written);
    const QByteArrayList lines = logicalLines(written);
    for (const QByteArray& line : foreign)
        EXPECT_TRUE(lines.contains(line)) << line.constData();
    EXPECT_TRUE(lines.contains("NOTE:folded by another tool with a tab"));
    EXPECT_TRUE(lines.contains("MEMBER:urn:uuid:aaaaaaaa-0000-0000-0000-000000000001"));
    EXPECT_TRUE(lines.contains("MEMBER:ana-1"));
    EXPECT_EQ(readBytes(path("ana.vcf")), ana);
    EXPECT_EQ(AddressBook(m_dir.path()).groups()[0].members,
              QStringList({"aaaaaaaa-0000-0000-0000-000000000001", "ana-1"}));
}

TEST_F(AddressBookTest, CardsThatCannotBeReadWholeAreSkippedAndNeverWritten) {
    const QByteArray club =
        "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:g-1\r\nKIND:group\r\nFN:Club\r\nEND:VCARD\r\n";
    writeBytes(path("a-good.vcf"), club);
    const QMap<QString, QByteArray> skipped = {
        {"b-duplicate.vcf", QByteArray(club).replace("FN:Club", "FN:Copy")},
        {"c-no-end.vcf", "BEGIN:VCARD\r\nUID:c\r\nFN:Broken\r\n"},
        {"d-huge.vcf", "BEGIN:VCARD\r\nUID:d\r\nFN:Huge\r\nNOTE:" + QByteArray(1024 * 1024, 'x') +
                           "\r\nEND:VCARD\r\n"},
        {"e-latin1.vcf", "BEGIN:VCARD\r\nUID:e\r\nFN:Jos\xE9\r\nEND:VCARD\r\n"},
        {"f-two.vcf", "BEGIN:VCARD\r\nUID:f1\r\nFN:F\r\nEND:VCARD\r\nBEGIN:VCARD\r\nUID:f2\r\n"
                      "FN:G\r\nEND:VCARD\r\n"},
        {"g-no-uid.vcf", "BEGIN:VCARD\r\nFN:Nobody\r\nEND:VCARD\r\n"},
    };
    for (auto it = skipped.begin(); it != skipped.end(); ++it)
        writeBytes(path(it.key()), it.value());
    // Reading a FIFO would block the test.
    ASSERT_EQ(mkfifo(QFile::encodeName(path("h-fifo.vcf")).constData(), 0600), 0);

    AddressBook book(m_dir.path());
    EXPECT_TRUE(book.people().empty());
    ASSERT_EQ(book.groups().size(), 1u);
    EXPECT_EQ(book.groups()[0].name, QStringLiteral("Club"));
    book.addMember(0, book.addPerson({{}, QStringLiteral("Ana"), {}, {}}));
    ASSERT_TRUE(book.save());
    for (auto it = skipped.begin(); it != skipped.end(); ++it)
        EXPECT_EQ(readBytes(path(it.key())), it.value()) << it.key().toStdString();
    EXPECT_EQ(AddressBook(m_dir.path()).groups()[0].members.size(), 1);
}

TEST_F(AddressBookTest, FindingIgnoresCaseAndTreatsAbsentNamesAsEmpty) {
    AddressBook book(m_dir.path());
    EXPECT_EQ(book.findPerson(QStringLiteral("Ana"), {}), -1);
    book.addPerson({{}, QStringLiteral("Ana"), QString(), {}});
    book.addPerson({{}, QStringLiteral("ANA"), QStringLiteral(""), {}});
    book.addPerson({{}, QStringLiteral("Ana"), QStringLiteral("Lima"), {}});
    book.addPerson({{}, {}, {}, {}});
    book.addGroup(QStringLiteral("Friends"));
    book.addMember(1, 0);
    book.addMember(0, 7);
    book.addMember(-1, 0);
    EXPECT_TRUE(book.groups()[0].members.isEmpty());
    ASSERT_TRUE(book.save());

    // A book read back orders its cards by file name, so people are compared by UID.
    const auto found = [](const AddressBook& reader, const QString& first, const QString& last) {
        const int index = reader.findPerson(first, last);
        return index < 0 ? QStringLiteral("none") : reader.people()[index].uid;
    };
    const auto uid = [&](int index) { return book.people()[index].uid; };
    EXPECT_EQ(found(book, QStringLiteral("aNA"), QStringLiteral("")), uid(0)) << "the first one";
    const AddressBook reread(m_dir.path());
    for (const AddressBook* read : std::initializer_list<const AddressBook*>{&book, &reread}) {
        const AddressBook& reader = *read;
        EXPECT_TRUE(QStringList({uid(0), uid(1)})
                        .contains(found(reader, QStringLiteral("ana"), QString())));
        EXPECT_EQ(found(reader, QStringLiteral("ana"), QStringLiteral("LIMA")), uid(2));
        EXPECT_EQ(found(reader, QString(), QString()), uid(3));
        EXPECT_EQ(reader.findPerson(QString(), QStringLiteral("lima")), -1);
        EXPECT_EQ(reader.findPerson(QStringLiteral("Ana Lima"), QString()), -1);
        EXPECT_EQ(reader.findGroup(QStringLiteral("FRIENDS")), 0);
        EXPECT_EQ(reader.findGroup(QStringLiteral("Friend")), -1);
    }
}

TEST_F(AddressBookTest, WritersOnTheSameFolderLoseNothing) {
    AddressBook setup(m_dir.path());
    setup.addGroup(QStringLiteral("Team"));
    ASSERT_TRUE(setup.save());
    const auto join = [&](AddressBook& book, const QString& name) {
        book.addMember(book.findGroup(QStringLiteral("team")), book.addPerson({{}, name, {}, {}}));
        return book.save();
    };
    AddressBook first(m_dir.path());
    AddressBook second(m_dir.path());
    ASSERT_TRUE(join(first, QStringLiteral("Ana")));
    ASSERT_TRUE(join(second, QStringLiteral("Bea")));
    EXPECT_EQ(second.groups()[0].members.size(), 2);

    // Processes that all read the folder before any of them writes.
    constexpr int kWriters = 4;
    int barrier[2];
    ASSERT_EQ(pipe(barrier), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < kWriters; ++i) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            AddressBook book(m_dir.path());
            close(barrier[1]);
            char byte;
            while (read(barrier[0], &byte, 1) > 0) {
            }
            _exit(join(book, QStringLiteral("Writer %1").arg(i)) ? 0 : 1);
        }
        children.push_back(child);
    }
    close(barrier[0]);
    usleep(200 * 1000);
    close(barrier[1]);
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    const AddressBook result(m_dir.path());
    EXPECT_EQ(result.people().size(), 2u + kWriters);
    ASSERT_EQ(result.groups().size(), 1u);
    QStringList uids;
    for (const Person& person : result.people())
        uids.append(person.uid);
    QStringList members = result.groups()[0].members;
    uids.sort();
    members.sort();
    EXPECT_EQ(members, uids);
}

TEST_F(AddressBookTest, NewCardsAreWellFormedFilesNamedByUid) {
    const QString folder = path("made/book");
    AddressBook book(folder);
    const QString longName = QStringLiteral("Åsa-Zoë 東京 ").repeated(8);
    const int full = book.addPerson({{},
                                     QStringLiteral("Ann, Jo;\\x"),
                                     longName + QStringLiteral("\nJr"),
                                     {{QStringLiteral("Work"), QStringLiteral("ann@example.org")},
                                      {QString(), QStringLiteral("ann@home.example")},
                                      {QStringLiteral("home"), QString()}}});
    const int mailOnly = book.addPerson(
        {{}, {}, {}, {{QStringLiteral("home"), QStringLiteral("solo@example.org")}}});
    const int nameless = book.addPerson({});
    const int group = book.addGroup(longName);
    for (const int person : {full, mailOnly, nameless})
        book.addMember(group, person);
    ASSERT_TRUE(book.save());
    struct stat folderInfo;
    ASSERT_EQ(stat(QFile::encodeName(folder).constData(), &folderInfo), 0);
    EXPECT_EQ(folderInfo.st_mode & 0777, 0700u);

    const mode_t mask = umask(0);
    umask(mask);
    QStringList expected = {QStringLiteral(".velmora.lock")};
    for (const Person& person : book.people())
        expected.append(person.uid + QStringLiteral(".vcf"));
    expected.append(book.groups()[0].uid + QStringLiteral(".vcf"));
    expected.sort();
    EXPECT_EQ(
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
        expected);
    for (const QString& name : expected.mid(1)) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = readBytes(folder + u'/' + name);
        expectWellFormedFile(bytes);
        EXPECT_TRUE(logicalLines(bytes).contains("UID:urn:uuid:" + name.chopped(4).toUtf8()));
        struct stat info;
        ASSERT_EQ(stat(QFile::encodeName(folder + u'/' + name).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
    }
    EXPECT_TRUE(logicalLines(readBytes(folder + u'/' + book.people()[mailOnly].uid + ".vcf"))
                    .contains("FN:solo@example.org"));

    const AddressBook reread(folder);
    ASSERT_EQ(reread.people().size(), 3u);
    const Person& person = reread.people()[reread.findPerson(QStringLiteral("ann, jo;\\x"),
                                                             longName + QStringLiteral("\nJr"))];
    EXPECT_EQ(person.uid, book.people()[full].uid);
    ASSERT_EQ(person.emails.size(), 2u);
    EXPECT_EQ(person.emails[0].label, QStringLiteral("work"));
    EXPECT_EQ(person.emails[1].label, QStringLiteral("other"));
    EXPECT_EQ(person.emails[1].value, QStringLiteral("ann@home.example"));
    EXPECT_EQ(reread.groups()[0].name, longName);
    EXPECT_EQ(reread.groups()[0].members.size(), 3);
}

} // namespace
