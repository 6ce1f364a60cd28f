// Web location files that hold their address inside: the address of a well-formed file of each
// kind, and nothing from a file that lies, nests without end, names a script or a local file,
// or is not a regular file of its own.
#include "platform/local/documents/WebLocationFiles.h"
#include "tests/support/FileTree.h"
#include "tests/support/WebLocationFixtures.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QString kSite = QStringLiteral("https://example.org/page?a=1&b=2");

TEST(WebLocationFiles, EachKindGivesItsAddress) {
    EXPECT_EQ(PropertyListWebAddress(fixtures::XmlWebloc("https://example.org/page?a=1&amp;b=2")),
              kSite);
    EXPECT_EQ(PropertyListWebAddress(fixtures::BinaryWebloc(kSite.toUtf8())), kSite);
    // A string past fourteen bytes carries its length in an integer object of its own.
    const QByteArray longUrl = "http://example.org/" + QByteArray(300, 'p');
    EXPECT_EQ(PropertyListWebAddress(fixtures::BinaryWebloc(longUrl)),
              QString::fromLatin1(longUrl));
    EXPECT_EQ(PropertyListWebAddress(fixtures::BinaryWebloc("http://a.b/")),
              QStringLiteral("http://a.b/"));
    // Windows does not care about case, and other sections may hold a URL key too.
    EXPECT_EQ(InternetShortcutWebAddress("[Other]\nURL=http://wrong.example/\n"
                                         "[internetshortcut]\nurl = http://right.example/\n"),
              QStringLiteral("http://right.example/"));
    // Values are unescaped first: "\s" is a blank, which no address holds.
    EXPECT_EQ(DesktopLinkWebAddress("[Desktop Entry]\nType=Link\nURL=http://a.example/x\\sy\n"),
              std::nullopt);
}

TEST(WebLocationFiles, OnlyWebAddressesOfTheRightGroupOrKeyCount) {
    for (const QByteArray& url :
         {QByteArray("javascript:alert(1)"), QByteArray("file:///etc/passwd"),
          QByteArray("ftp://example.org/"), QByteArray("http://"), QByteArray("not a url"),
          QByteArray("data:text/html,hi")}) {
        EXPECT_EQ(PropertyListWebAddress(fixtures::XmlWebloc(url)), std::nullopt) << url.data();
        EXPECT_EQ(PropertyListWebAddress(fixtures::BinaryWebloc(url)), std::nullopt) << url.data();
        EXPECT_EQ(InternetShortcutWebAddress(fixtures::InternetShortcut(url)), std::nullopt);
        EXPECT_EQ(DesktopLinkWebAddress(fixtures::DesktopLink(url)), std::nullopt);
    }
    // An application's entry that happens to carry a URL key is no link.
    EXPECT_EQ(DesktopLinkWebAddress("[Desktop Entry]\nType=Application\nURL=http://a.example/\n"),
              std::nullopt);
    EXPECT_EQ(DesktopLinkWebAddress("[Desktop Action x]\nType=Link\nURL=http://a.example/\n"),
              std::nullopt);
    // The key belongs to the top dictionary, not to one nested in it.
    EXPECT_EQ(PropertyListWebAddress("<plist><dict><key>inner</key><dict><key>URL</key>"
                                     "<string>http://a.example/</string></dict></dict></plist>"),
              std::nullopt);
    EXPECT_EQ(PropertyListWebAddress("<plist><dict><key>URL</key><data>aGk=</data></dict></plist>"),
              std::nullopt);
    EXPECT_EQ(PropertyListWebAddress("<plist><array><string>http://a.example/</string></array>"
                                     "</plist>"),
              std::nullopt);
}

TEST(WebLocationFiles, HostilePropertyListsGiveNothing) {
    // Ten thousand levels before the key: refused without walking them all the way down.
    const QByteArray deep = "<plist><dict><key>x</key>" + QByteArray("<array>").repeated(10000) +
                            QByteArray("</array>").repeated(10000) +
                            "<key>URL</key><string>http://a.example/</string></dict></plist>";
    EXPECT_EQ(PropertyListWebAddress(deep), std::nullopt);
    EXPECT_EQ(PropertyListWebAddress(QByteArray(kMaxWebLocationFileSize + 1, ' ')), std::nullopt);

    const QByteArray good = fixtures::BinaryWebloc("http://a.example/");
    const qsizetype trailer = good.size() - 32;
    auto patched = [&](qsizetype at, quint64 value) {
        QByteArray bytes = good;
        qToBigEndian(value, bytes.data() + at);
        return bytes;
    };
    EXPECT_EQ(PropertyListWebAddress(patched(trailer + 8, quint64(1) << 60)), std::nullopt)
        << "an object count beyond the file";
    EXPECT_EQ(PropertyListWebAddress(patched(trailer + 8, ~quint64(0) / 2 + 1)), std::nullopt)
        << "an object count whose table size overflows";
    EXPECT_EQ(PropertyListWebAddress(patched(trailer + 16, 7)), std::nullopt)
        << "a top object that is not there";
    EXPECT_EQ(PropertyListWebAddress(patched(trailer + 24, quint64(good.size()))), std::nullopt)
        << "an offset table past the trailer";
    QByteArray longString = good;
    longString[8 + 3 + 4 + 2] = char(0x7F); // the string claims more bytes than follow
    EXPECT_EQ(PropertyListWebAddress(longString), std::nullopt);
    QByteArray selfReference = good;
    selfReference[9] = 0; // the dictionary's key is the dictionary itself
    EXPECT_EQ(PropertyListWebAddress(selfReference), std::nullopt);
    QByteArray wideSizes = good;
    wideSizes[trailer + 6] = 9;
    EXPECT_EQ(PropertyListWebAddress(wideSizes), std::nullopt);
    for (qsizetype cut = 0; cut < good.size(); ++cut)
        EXPECT_EQ(PropertyListWebAddress(good.left(cut)), std::nullopt) << cut;
}

TEST(WebLocationFiles, FilesAreReadByTheirNameAndOnlyWhenRegularAndTheirOwn) {
    QTemporaryDir dir;
    fixtures::FileTree files(dir.path());
    const QString webloc = files.file(QStringLiteral("a.webloc"), fixtures::XmlWebloc("http://a/"));
    const QString url =
        files.file(QStringLiteral("b.URL"), fixtures::InternetShortcut("http://b/"));
    const QString link =
        files.file(QStringLiteral("c.desktop"), fixtures::DesktopLink("http://c/"));
    const QString app =
        files.file(QStringLiteral("d.desktop"), "[Desktop Entry]\nType=Application\n");
    const QString misnamed =
        files.file(QStringLiteral("e.txt"), fixtures::InternetShortcut("http://e/"));
    const QString big =
        files.file(QStringLiteral("f.url"), fixtures::InternetShortcut("http://f/") +
                                                QByteArray(kMaxWebLocationFileSize, '\n'));
    const QString outside =
        files.file(QStringLiteral("elsewhere/g.url"), fixtures::InternetShortcut("http://g/"));
    const QString linked = files.link(QStringLiteral("g.url"), outside);
    const QString fifo = files.path(QStringLiteral("h.url"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    EXPECT_EQ(ReadWebLocationFile(webloc), QStringLiteral("http://a/"));
    EXPECT_EQ(ReadWebLocationFile(url), QStringLiteral("http://b/"));
    EXPECT_EQ(ReadWebLocationFile(link), QStringLiteral("http://c/"));
    for (const QString& path :
         {app, misnamed, big, linked, fifo, files.path(QStringLiteral("x.url"))})
        EXPECT_EQ(ReadWebLocationFile(path), std::nullopt) << path.toStdString();
    EXPECT_TRUE(IsDesktopLinkFile(link));
    EXPECT_FALSE(IsDesktopLinkFile(app));
    EXPECT_FALSE(IsDesktopLinkFile(fifo));
}

} // namespace
