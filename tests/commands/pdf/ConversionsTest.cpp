// The conversions to PDF against what a selection may hold besides documents: FIFOs, devices,
// links to them, and HTML that names files elsewhere. Each must give its result at once (a hang
// fails the test by its time limit).
#include "commands/pdf/CombineFiles.h"
#include "commands/pdf/FileTypes.h"
#include "commands/pdf/HtmlDocument.h"
#include "commands/pdf/PdfConversions.h"
#include "platform/world/World.h"
#include "tests/support/FileTree.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/WorldSelection.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTextBlock>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace events = platform::world::events;

class ConversionsTest : public ::testing::Test {
protected:
    ConversionsTest() { InitializeSuffixMap(); }

    QString path(const QString& name) const { return m_files.path(name); }
    static QString run(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(60000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    // "width x height" of every picture drawn in the PDF.
    static QStringList picturesOf(const QString& pdf) {
        QStringList sizes;
        for (const QString& line : run("pdfimages", {"-list", pdf}).split(u'\n')) {
            const QStringList columns = line.simplified().split(u' ');
            if (columns.size() > 4 && columns[2] == QStringLiteral("image"))
                sizes.append(columns[3] + u'x' + columns[4]);
        }
        return sizes;
    }
    // The text converted to PDF, and the path of the PDF when one was written.
    std::optional<QString> convertText(const QString& name) const {
        const auto pdf = ConvertTextToPDF(path(name), nullptr);
        if (!pdf || !QFileInfo::exists(*pdf))
            return std::nullopt;
        return pdf;
    }

    platform::world::World m_world;
    platform::ScopedPlatform m_installed{m_world.services()};
    fixtures::FileTree m_files{m_world.root()};
};

// Every route (text, RTF, HTML, PDF, picture, preview) meets a FIFO nobody writes to, a link to
// /dev/zero and a link to the FIFO: none is read, each is reported, and nothing is combined.
TEST_F(ConversionsTest, FifosDevicesAndLinksToThemAreReportedUnderEveryRoute) {
    QStringList names;
    for (const QString& type :
         {QStringLiteral("txt"), QStringLiteral("rtf"), QStringLiteral("html"),
          QStringLiteral("pdf"), QStringLiteral("png"), QStringLiteral("bin")}) {
        const QString fifo = QStringLiteral("fifo-") + type + u'.' + type;
        ASSERT_EQ(mkfifo(QFile::encodeName(path(fifo)).constData(), 0600), 0);
        m_files.link("zero-" + type + u'.' + type, QStringLiteral("/dev/zero"));
        m_files.link("pipe-" + type + u'.' + type, path(fifo));
        names += {fifo, QStringLiteral("zero-") + type + u'.' + type,
                  QStringLiteral("pipe-") + type + u'.' + type};
    }
    fixtures::SelectInWorld(m_world, names);
    m_world.savePanelAnswers.push_back(path("all.pdf"));

    CombineFilesOfSelection();

    const auto alerts = m_world.eventsOf<events::Alert>();
    ASSERT_EQ(alerts.size(), std::size_t(names.size()) + 1);
    for (qsizetype i = 0; i < names.size(); ++i) {
        EXPECT_EQ(alerts[i].message, QStringLiteral("This file could not be opened as a PDF:"));
        // Named by the file selected, not by what a route made of it.
        EXPECT_EQ(alerts[i].detail, path(names[i]));
    }
    EXPECT_EQ(alerts.back().message,
              QStringLiteral("No page could be combined, so this file was not written:"));
    EXPECT_EQ(alerts.back().detail, path("all.pdf"));
    EXPECT_FALSE(QFileInfo::exists(path("all.pdf")));
    EXPECT_TRUE(m_world.eventsOf<events::Open>().empty());
    // No route wrote a PDF of what it could not read.
    QDirIterator written(m_world.temp(), {QStringLiteral("*.pdf")}, QDir::Files,
                         QDirIterator::Subdirectories);
    EXPECT_FALSE(written.hasNext());
}

// A page draws the pictures of its own folder and below, and nothing else: not what lies
// elsewhere (by absolute path, file: URL, "..", or a link out), not a device or FIFO inside,
// not Velmora's working folder, not a data: or http: URL; its style sheets likewise.
TEST_F(ConversionsTest, HtmlDrawsOnlyPicturesFromItsOwnFolder) {
    for (const QString& folder :
         {QStringLiteral("page/pics"), QStringLiteral("outside"), QStringLiteral("cwd")})
        ASSERT_TRUE(QDir().mkpath(path(folder)));
    ASSERT_TRUE(fixtures::WritePng(path("page/pics/shown.png"), 7, 5));
    ASSERT_TRUE(fixtures::WritePng(path("page/pics/linked.png"), 8, 6));
    ASSERT_TRUE(fixtures::WritePng(path("outside/private.png"), 11, 13));
    ASSERT_TRUE(fixtures::WritePng(path("cwd/relative.png"), 9, 9));
    m_files.link("page/inner-link.png", "pics/linked.png");
    m_files.link("page/out-link.png", "../outside/private.png");
    m_files.link("page/zero.png", "/dev/zero");
    ASSERT_EQ(mkfifo(QFile::encodeName(path("page/pipe.png")).constData(), 0600), 0);
    m_files.file("page/style.css", "p.marked { color: #00ff00 }");
    m_files.file("outside/evil.css", "p.evil { color: #ff0000 }");
    const QString privatePicture = path("outside/private.png");
    const QString privateUrl = QString::fromUtf8(QUrl::fromLocalFile(privatePicture).toEncoded());
    const QString dataUrl =
        QStringLiteral("data:image/png;base64,") +
        QString::fromLatin1(fixtures::PngBytes(QImage(12, 12, QImage::Format_RGB32)).toBase64());
    m_files.file(
        "page/page.html",
        QStringLiteral("<html><head><link rel=\"stylesheet\" type=\"text/css\" href=\"style.css\">"
                       "<link rel=\"stylesheet\" type=\"text/css\" href=\"../outside/evil.css\">"
                       "</head><body background=\"../outside/private.png\">"
                       "<p class=\"marked\">Marked</p><p class=\"evil\">Evil</p>"
                       "<img src=\"pics/shown.png\"><img src=\"inner-link.png\">"
                       "<img src=\"%1\"><img src=\"%2\">"
                       "<img src=\"../outside/private.png\"><img src=\"out-link.png\">"
                       "<img src=\"zero.png\"><img src=\"pipe.png\"><img src=\"relative.png\">"
                       "<img src=\"%3\"><img src=\"http://127.0.0.1:1/x.png\">"
                       "<table background=\"zero.png\"><tr><td style=\"background-image: url(%2)\">"
                       "Cell</td></tr></table></body></html>")
            .arg(privatePicture, privateUrl, dataUrl)
            .toUtf8());
    const QString working = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(path("cwd")));
    const auto pdf = convertText("page/page.html");
    HtmlDocument document(path("page"));
    QFile html(path("page/page.html"));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    document.setHtml(QString::fromUtf8(html.readAll()));
    QDir::setCurrent(working);

    ASSERT_TRUE(pdf);
    QStringList drawn = picturesOf(*pdf);
    drawn.removeAll(QStringLiteral("1x1"));
    drawn.sort();
    EXPECT_EQ(drawn, (QStringList{"7x5", "8x6"}));
    EXPECT_TRUE(run("pdftotext", {*pdf, "-"}).contains(QStringLiteral("Cell")));
    QColor marked, evil;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.text() == QStringLiteral("Marked"))
            marked = block.charFormat().foreground().color();
        if (block.text() == QStringLiteral("Evil"))
            evil = block.charFormat().foreground().color();
    }
    EXPECT_EQ(marked, QColor(0, 255, 0));
    EXPECT_NE(evil, QColor(255, 0, 0));
}

// Past the limit on resources a page may read, its pictures are no longer drawn.
TEST_F(ConversionsTest, APageReadsABoundedNumberOfPictures) {
    QByteArray html = "<html><body>";
    ASSERT_TRUE(QDir().mkpath(path("many")));
    for (int i = 0; i < kMaxHtmlResources + 20; ++i) {
        const QString name = QStringLiteral("many/p%1.png").arg(i);
        ASSERT_TRUE(fixtures::WritePng(path(name), 2, 3));
        html += "<img src=\"" + QFileInfo(name).fileName().toUtf8() + "\">";
    }
    m_files.file("many/page.html", html + "</body></html>");
    const auto pdf = convertText("many/page.html");
    ASSERT_TRUE(pdf);
    EXPECT_EQ(picturesOf(*pdf).count(QStringLiteral("2x3")), kMaxHtmlResources);
}

} // namespace
