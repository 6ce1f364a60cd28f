// Combining selected files into one PDF, on real files of a world's root: the routes, the page
// copying, and what the user's files go through when something fails.
#include "commands/pdf/CombineFiles.h"
#include "commands/pdf/FileTypes.h"
#include "platform/local/documents/PdfDocuments.h"
#include "platform/world/World.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/WorldSelection.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace events = platform::world::events;

class CombineFilesTest : public ::testing::Test {
protected:
    CombineFilesTest() { InitializeSuffixMap(); }

    QString path(const QString& name) const { return m_world.root() + u'/' + name; }
    void select(const QStringList& names) { fixtures::SelectInWorld(m_world, names); }
    void answer(const QString& name) { m_world.savePanelAnswers.push_back(path(name)); }
    static std::vector<CGRect> boxes(const QString& file) {
        std::vector<CGRect> found;
        const CGPDFDocumentRef document = CGPDFDocumentCreateWithPath(file);
        for (std::size_t page = 1; page <= CGPDFDocumentGetNumberOfPages(document); ++page)
            found.push_back(CGPDFPageGetMediaBox(document, page));
        return found;
    }
    static QString run(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(30000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    std::vector<QString> alertDetails() const {
        std::vector<QString> details;
        for (const auto& alert : m_world.eventsOf<events::Alert>()) {
            EXPECT_EQ(alert.message, QStringLiteral("This file could not be opened as a PDF:"));
            details.push_back(alert.detail.value_or(QString()));
        }
        return details;
    }

    platform::world::World m_world;
    platform::ScopedPlatform m_installed{m_world.services()};
};

bool SameBox(const CGRect& box, float x, float y, float width, float height) {
    return box.x == x && box.y == y && box.width == width && box.height == height;
}

TEST_F(CombineFilesTest, PdfPagesThenPrintedTextThenOnePageThePictureSizeInSelectionOrder) {
    ASSERT_TRUE(fixtures::WritePdf(path(QStringLiteral("two.pdf")),
                                   {QSizeF(612, 792), QSizeF(300, 400)}, QStringLiteral("Vector")));
    QString rtf = QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Helvetica;}}\\f0 ");
    for (int i = 0; i < 150; ++i)
        rtf += QStringLiteral("Paragraph %1 of the letter\\par\n").arg(i);
    ASSERT_TRUE(fixtures::WriteText(path(QStringLiteral("letter.rtf")), (rtf + u'}').toUtf8()));
    QImage picture(300, 200, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(path(QStringLiteral("photo.jpg")), "jpeg"));
    select({QStringLiteral("two.pdf"), QStringLiteral("letter.rtf"), QStringLiteral("photo.jpg")});
    answer(QStringLiteral("all"));

    CombineFilesOfSelection();

    const QString all = path(QStringLiteral("all.pdf"));
    const std::vector<CGRect> pages = boxes(all);
    ASSERT_GE(pages.size(), 5u) << "two PDF pages, at least two of text, one picture";
    EXPECT_TRUE(SameBox(pages[0], 0, 0, 612, 792));
    EXPECT_TRUE(SameBox(pages[1], 0, 0, 300, 400));
    for (size_t i = 2; i + 1 < pages.size(); ++i)
        EXPECT_TRUE(SameBox(pages[i], 0, 0, 612, 792)) << "text page " << i;
    EXPECT_TRUE(SameBox(pages.back(), 0, 0, 300, 200));

    // Copied, not redrawn: the PDF's text and the printed text are still text.
    const QString text = run(QStringLiteral("pdftotext"), {all, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Vector page 2")));
    EXPECT_TRUE(text.contains(QStringLiteral("Paragraph 149 of the letter")));
    EXPECT_LT(text.indexOf(QStringLiteral("Vector page 1")),
              text.indexOf(QStringLiteral("Paragraph 0 of")));
    EXPECT_TRUE(alertDetails().empty());
}

TEST_F(CombineFilesTest, UnreadableFilesAreReportedAndLeftOutAndTheRestIsCombined) {
    ASSERT_TRUE(fixtures::WritePdf(path(QStringLiteral("good.pdf")), {QSizeF(200, 200)},
                                   QStringLiteral("Good")));
    ASSERT_TRUE(fixtures::WritePdf(path(QStringLiteral("source.pdf")), {QSizeF(100, 100)},
                                   QStringLiteral("Locked")));
    run(QStringLiteral("qpdf"),
        {QStringLiteral("--encrypt"), QStringLiteral("secret"), QStringLiteral("owner"),
         QStringLiteral("256"), QStringLiteral("--"), path(QStringLiteral("source.pdf")),
         path(QStringLiteral("locked.pdf"))});
    run(QStringLiteral("qpdf"),
        {QStringLiteral("--encrypt"), QString(), QStringLiteral("owner"), QStringLiteral("256"),
         QStringLiteral("--"), path(QStringLiteral("source.pdf")),
         path(QStringLiteral("open.pdf"))});
    ASSERT_TRUE(QFile::exists(path(QStringLiteral("locked.pdf"))));
    ASSERT_TRUE(fixtures::WriteText(path(QStringLiteral("damaged.pdf")), "%PDF-1.4\n%garbage"));
    ASSERT_TRUE(fixtures::WriteText(path(QStringLiteral("data.bin")), QByteArray(64, '\x01')));
    // A header claiming 30,000 x 30,000 pixels is refused before the pixels are allocated.
    ASSERT_TRUE(fixtures::WritePngHeaderOnly(path(QStringLiteral("huge.png")), 30000, 30000));
    ASSERT_TRUE(fixtures::WritePng(path(QStringLiteral("dot.png")), 1, 1));
    select({QStringLiteral("locked.pdf"), QStringLiteral("good.pdf"), QStringLiteral("damaged.pdf"),
            QStringLiteral("data.bin"), QStringLiteral("open.pdf"), QStringLiteral("huge.png"),
            QStringLiteral("dot.png")});
    answer(QStringLiteral("out/all.pdf"));
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("out"))));

    CombineFilesOfSelection();

    const std::vector<QString> details = alertDetails();
    ASSERT_EQ(details.size(), 4u);
    EXPECT_EQ(details[0], path(QStringLiteral("locked.pdf")));
    EXPECT_EQ(details[1], path(QStringLiteral("damaged.pdf")));
    // A converted file is named by the file the user selected, not by the intermediate PDF.
    EXPECT_EQ(details[2], path(QStringLiteral("data.bin")));
    EXPECT_EQ(details[3], path(QStringLiteral("huge.png")));
    const std::vector<CGRect> pages = boxes(path(QStringLiteral("out/all.pdf")));
    ASSERT_EQ(pages.size(), 3u) << "the good PDF, the one that needs no password, the dot";
    EXPECT_TRUE(SameBox(pages[0], 0, 0, 200, 200));
    EXPECT_TRUE(SameBox(pages[1], 0, 0, 100, 100));
    EXPECT_TRUE(SameBox(pages[2], 0, 0, 1, 1));
}

TEST_F(CombineFilesTest, TheChosenFileIsReplacedOnlyByACompleteDocument) {
    ASSERT_TRUE(
        fixtures::WritePdf(path(QStringLiteral("a.pdf")), {QSizeF(100, 100)}, QStringLiteral("A")));
    ASSERT_TRUE(fixtures::WritePdf(path(QStringLiteral("b.pdf")),
                                   {QSizeF(200, 200), QSizeF(200, 200)}, QStringLiteral("B")));
    // The destination is one of the selected files: its pages are read before it is replaced.
    select({QStringLiteral("a.pdf"), QStringLiteral("b.pdf")});
    answer(QStringLiteral("a.pdf"));
    CombineFilesOfSelection();
    EXPECT_EQ(boxes(path(QStringLiteral("a.pdf"))).size(), 3u);

    // Nothing that can be combined, a PDF without pages and one that is not a PDF: each is
    // reported, and so is the file not written, which stays as it was.
    ASSERT_TRUE(fixtures::WriteText(path(QStringLiteral("junk.pdf")), "not a pdf"));
    run(QStringLiteral("qpdf"), {QStringLiteral("--empty"), path(QStringLiteral("empty.pdf"))});
    ASSERT_TRUE(QFile::exists(path(QStringLiteral("empty.pdf"))));
    select({QStringLiteral("empty.pdf"), QStringLiteral("junk.pdf")});
    answer(QStringLiteral("a.pdf"));
    CombineFilesOfSelection();
    EXPECT_EQ(boxes(path(QStringLiteral("a.pdf"))).size(), 3u);
    const auto nothing = m_world.eventsOf<events::Alert>();
    ASSERT_EQ(nothing.size(), 3u);
    EXPECT_EQ(nothing[0].message, QStringLiteral("This PDF has no pages:"));
    EXPECT_EQ(nothing[0].detail, path(QStringLiteral("empty.pdf")));
    EXPECT_EQ(nothing[1].message, QStringLiteral("This file could not be opened as a PDF:"));
    EXPECT_EQ(nothing[2].message,
              QStringLiteral("No page could be combined, so this file was not written:"));
    EXPECT_EQ(nothing[2].detail, path(QStringLiteral("a.pdf")));

    // A folder that cannot be written to: reported, and no half-written file left in it.
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("locked"))));
    ASSERT_TRUE(fixtures::WritePdf(path(QStringLiteral("locked/keep.pdf")), {QSizeF(50, 50)},
                                   QStringLiteral("Keep")));
    QFile::setPermissions(path(QStringLiteral("locked")), QFile::ReadOwner | QFile::ExeOwner);
    select({QStringLiteral("b.pdf")});
    answer(QStringLiteral("locked/keep.pdf"));
    CombineFilesOfSelection();
    QFile::setPermissions(path(QStringLiteral("locked")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (::geteuid() != 0) {
        const auto alerts = m_world.eventsOf<events::Alert>();
        ASSERT_FALSE(alerts.empty());
        EXPECT_EQ(alerts.back().message, QStringLiteral("The output file could not be created."));
        EXPECT_EQ(alerts.back().detail,
                  path(QStringLiteral("locked/keep.pdf")) + QStringLiteral("\nPermission denied"));
        EXPECT_EQ(boxes(path(QStringLiteral("locked/keep.pdf"))).size(), 1u);
        EXPECT_EQ(QDir(path(QStringLiteral("locked"))).entryList(QDir::Files | QDir::Hidden).size(),
                  1);
    }
    EXPECT_EQ(m_world.eventsOf<events::Open>().size(), geteuid() != 0 ? 1u : 2u);
}

// A write that fails part way (the process's file size limit standing for a full disk) is
// reported with its reason, and leaves the chosen file as it was.
TEST_F(CombineFilesTest, AFailedWriteIsReportedWithItsReason) {
    ASSERT_TRUE(fixtures::WritePdf(path(QStringLiteral("long.pdf")),
                                   std::vector<QSizeF>(20, QSizeF(612, 792)),
                                   QStringLiteral("Long")));
    ASSERT_TRUE(fixtures::WriteText(path(QStringLiteral("out.pdf")), "old"));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = zadAVOFiles({path(QStringLiteral("long.pdf"))}, CGRect{0, 0, 612, 792},
                                     path(QStringLiteral("out.pdf")), QStringLiteral("out.pdf"),
                                     QStringLiteral("Velmora"));
    setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_FALSE(written);
    const auto alerts = m_world.eventsOf<events::Alert>();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].message, QStringLiteral("The output file could not be created."));
    EXPECT_EQ(alerts[0].detail,
              path(QStringLiteral("out.pdf")) + QStringLiteral("\nFile too large"));
    QFile out(path(QStringLiteral("out.pdf")));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), QByteArray("old"));
}

// A text that is not UTF-8 is read in Latin-1, and its converted file is kept when the save is
// cancelled.
TEST_F(CombineFilesTest, ALatin1TextIsConvertedAndKeptWhenCancelled) {
    ASSERT_TRUE(fixtures::WriteText(path(QStringLiteral("notes.txt")), "caf\xe9 in Latin-1\n"));
    select({QStringLiteral("notes.txt")});
    m_world.savePanelAnswers.push_back(std::nullopt);
    CombineFilesOfSelection();
    const auto folders = QDir(m_world.temp() + QStringLiteral("/Velmora"))
                             .entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(folders.size(), 1);
    const QString notes = folders.first().filePath() + QStringLiteral("/notes.pdf");
    EXPECT_TRUE(run(QStringLiteral("pdftotext"), {notes, QStringLiteral("-")})
                    .contains(QStringLiteral("café in Latin-1")));
}

TEST_F(CombineFilesTest, AMimeTypeInCapitalsStillMarksAPdf) {
    QFile table(m_world.fileMappingTable());
    ASSERT_TRUE(table.open(QIODevice::WriteOnly | QIODevice::Truncate));
    table.write("APPLICATION/PDF zzpdf\n");
    table.close();
    InitializeSuffixMap();
    ASSERT_TRUE(fixtures::WritePdf(path(QStringLiteral("scan.zzpdf")),
                                   {QSizeF(10, 20), QSizeF(30, 40)}, QStringLiteral("Scan")));
    select({QStringLiteral("scan.zzpdf")});
    answer(QStringLiteral("out.pdf"));
    CombineFilesOfSelection();
    EXPECT_EQ(boxes(path(QStringLiteral("out.pdf"))).size(), 2u);
    EXPECT_FALSE(QDir(m_world.temp() + QStringLiteral("/Velmora")).exists());
}

TEST_F(CombineFilesTest, ManyFilesAreCombinedWithoutKeepingThemAllOpen) {
    QStringList names;
    for (int i = 0; i < 260; ++i) {
        names.append(QStringLiteral("doc%1.pdf").arg(i));
        ASSERT_TRUE(fixtures::WritePdf(path(names.last()), {QSizeF(100 + i, 100)},
                                       QStringLiteral("Doc %1").arg(i)));
    }
    select(names);
    answer(QStringLiteral("all.pdf"));
    CombineFilesOfSelection();
    const std::vector<CGRect> pages = boxes(path(QStringLiteral("all.pdf")));
    ASSERT_EQ(pages.size(), 260u);
    EXPECT_TRUE(SameBox(pages[259], 0, 0, 359, 100));
    EXPECT_TRUE(
        run(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QStringLiteral("260"),
                                          path(QStringLiteral("all.pdf")), QStringLiteral("-")})
            .contains(QStringLiteral("Doc 259 page 1")));
}

} // namespace
