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

TEST_F(CombineFilesTest, PdfTextStaysTextAndALongTextPrintsOnPagesOfItsOwnInSelectionOrder) {
    ASSERT_TRUE(
        fixtures::WritePdf(path("two.pdf"), {QSizeF(612, 792), QSizeF(300, 400)}, "Vector"));
    QString rtf = QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Helvetica;}}\\f0 ");
    for (int i = 0; i < 150; ++i)
        rtf += QStringLiteral("Paragraph %1 of the letter\\par\n").arg(i);
    ASSERT_TRUE(fixtures::WriteText(path("letter.rtf"), (rtf + u'}').toUtf8()));
    QImage picture(300, 200, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(path("photo.jpg"), "jpeg"));
    select({"two.pdf", "letter.rtf", "photo.jpg"});
    answer("all");

    CombineFilesOfSelection();

    const QString all = path("all.pdf");
    EXPECT_GE(boxes(all).size(), 5u) << "two PDF pages, at least two of text, one picture";

    // Copied, not redrawn: the PDF's text and the printed text are still text.
    const QString text = run("pdftotext", {all, "-"});
    EXPECT_TRUE(text.contains(QStringLiteral("Vector page 2")));
    EXPECT_TRUE(text.contains(QStringLiteral("Paragraph 149 of the letter")));
    EXPECT_LT(text.indexOf(QStringLiteral("Vector page 1")),
              text.indexOf(QStringLiteral("Paragraph 0 of")));
    EXPECT_TRUE(alertDetails().empty());
}

TEST_F(CombineFilesTest, UnreadableFilesAreReportedAndLeftOutAndTheRestIsCombined) {
    ASSERT_TRUE(fixtures::WritePdf(path("good.pdf"), {QSizeF(200, 200)}, "Good"));
    ASSERT_TRUE(fixtures::WritePdf(path("source.pdf"), {QSizeF(100, 100)}, "Locked"));
    run("qpdf",
        {"--encrypt", "secret", "owner", "256", "--", path("source.pdf"), path("locked.pdf")});
    run("qpdf",
        {"--encrypt", QString(), "owner", "256", "--", path("source.pdf"), path("open.pdf")});
    ASSERT_TRUE(QFile::exists(path("locked.pdf")));
    ASSERT_TRUE(fixtures::WriteText(path("damaged.pdf"), "%PDF-1.4\n%garbage"));
    ASSERT_TRUE(fixtures::WriteText(path("data.bin"), QByteArray(64, '\x01')));
    // A header claiming 30,000 x 30,000 pixels is refused before the pixels are allocated.
    ASSERT_TRUE(fixtures::WritePngHeaderOnly(path("huge.png"), 30000, 30000));
    ASSERT_TRUE(fixtures::WritePng(path("dot.png"), 1, 1));
    select(
        {"locked.pdf", "good.pdf", "damaged.pdf", "data.bin", "open.pdf", "huge.png", "dot.png"});
    answer("out/all.pdf");
    ASSERT_TRUE(QDir().mkpath(path("out")));

    CombineFilesOfSelection();

    const std::vector<QString> details = alertDetails();
    ASSERT_EQ(details.size(), 4u);
    EXPECT_EQ(details[0], path("locked.pdf"));
    EXPECT_EQ(details[1], path("damaged.pdf"));
    // A converted file is named by the file the user selected, not by the intermediate PDF.
    EXPECT_EQ(details[2], path("data.bin"));
    EXPECT_EQ(details[3], path("huge.png"));
    const std::vector<CGRect> pages = boxes(path("out/all.pdf"));
    ASSERT_EQ(pages.size(), 3u) << "the good PDF, the one that needs no password, the dot";
    EXPECT_TRUE(SameBox(pages[0], 0, 0, 200, 200));
    EXPECT_TRUE(SameBox(pages[1], 0, 0, 100, 100));
    EXPECT_TRUE(SameBox(pages[2], 0, 0, 1, 1));
}

TEST_F(CombineFilesTest, TheChosenFileIsReplacedOnlyByACompleteDocument) {
    ASSERT_TRUE(fixtures::WritePdf(path("a.pdf"), {QSizeF(100, 100)}, "A"));
    ASSERT_TRUE(fixtures::WritePdf(path("b.pdf"), {QSizeF(200, 200), QSizeF(200, 200)}, "B"));
    // The destination is one of the selected files: its pages are read before it is replaced.
    select({"a.pdf", "b.pdf"});
    answer("a.pdf");
    CombineFilesOfSelection();
    EXPECT_EQ(boxes(path("a.pdf")).size(), 3u);

    // Nothing that can be combined, a PDF without pages and one that is not a PDF: each is
    // reported, and so is the file not written, which stays as it was.
    ASSERT_TRUE(fixtures::WriteText(path("junk.pdf"), "not a pdf"));
    run("qpdf", {"--empty", path("empty.pdf")});
    ASSERT_TRUE(QFile::exists(path("empty.pdf")));
    select({"empty.pdf", "junk.pdf"});
    answer("a.pdf");
    CombineFilesOfSelection();
    EXPECT_EQ(boxes(path("a.pdf")).size(), 3u);
    const auto nothing = m_world.eventsOf<events::Alert>();
    ASSERT_EQ(nothing.size(), 3u);
    EXPECT_EQ(nothing[0].message, QStringLiteral("This PDF has no pages:"));
    EXPECT_EQ(nothing[0].detail, path("empty.pdf"));
    EXPECT_EQ(nothing[1].message, QStringLiteral("This file could not be opened as a PDF:"));
    EXPECT_EQ(nothing[2].message,
              QStringLiteral("No page could be combined, so this file was not written:"));
    EXPECT_EQ(nothing[2].detail, path("a.pdf"));
    EXPECT_EQ(m_world.eventsOf<events::Open>().size(), 1u);
}

// A write that fails part way (the process's file size limit standing for a full disk) is
// reported with its reason, and leaves the chosen file as it was.
TEST_F(CombineFilesTest, AFailedWriteIsReportedWithItsReason) {
    ASSERT_TRUE(
        fixtures::WritePdf(path("long.pdf"), std::vector<QSizeF>(20, QSizeF(612, 792)), "Long"));
    ASSERT_TRUE(fixtures::WriteText(path("out.pdf"), "old"));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = zadAVOFiles({path("long.pdf")}, CGRect{0, 0, 612, 792}, path("out.pdf"),
                                     QStringLiteral("out.pdf"), QStringLiteral("Velmora"));
    setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_FALSE(written);
    const auto alerts = m_world.eventsOf<events::Alert>();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].message, QStringLiteral("The output file could not be created."));
    EXPECT_EQ(alerts[0].detail, path("out.pdf") + QStringLiteral("\nFile too large"));
    QFile out(path("out.pdf"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), QByteArray("old"));
}

// A text that is not UTF-8 is read in Latin-1, and its converted file is kept when the save is
// cancelled.
TEST_F(CombineFilesTest, ALatin1TextIsConvertedAndKeptWhenCancelled) {
    ASSERT_TRUE(fixtures::WriteText(path("notes.txt"), "caf\xe9 in Latin-1\n"));
    select({"notes.txt"});
    m_world.savePanelAnswers.push_back(std::nullopt);
    CombineFilesOfSelection();
    const auto folders = QDir(m_world.temp() + QStringLiteral("/Velmora"))
                             .entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(folders.size(), 1);
    const QString notes = folders.first().filePath() + QStringLiteral("/notes.pdf");
    EXPECT_TRUE(run("pdftotext", {notes, "-"}).contains(QStringLiteral("café in Latin-1")));
}

TEST_F(CombineFilesTest, AMimeTypeInCapitalsStillMarksAPdf) {
    QFile table(m_world.fileMappingTable());
    ASSERT_TRUE(table.open(QIODevice::WriteOnly | QIODevice::Truncate));
    table.write("APPLICATION/PDF zzpdf\n");
    table.close();
    InitializeSuffixMap();
    ASSERT_TRUE(fixtures::WritePdf(path("scan.zzpdf"), {QSizeF(10, 20), QSizeF(30, 40)}, "Scan"));
    select({"scan.zzpdf"});
    answer("out.pdf");
    CombineFilesOfSelection();
    EXPECT_EQ(boxes(path("out.pdf")).size(), 2u);
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
    answer("all.pdf");
    CombineFilesOfSelection();
    const std::vector<CGRect> pages = boxes(path("all.pdf"));
    ASSERT_EQ(pages.size(), 260u);
    EXPECT_TRUE(SameBox(pages[259], 0, 0, 359, 100));
    EXPECT_TRUE(run("pdftotext", {"-f", "260", path("all.pdf"), "-"})
                    .contains(QStringLiteral("Doc 259 page 1")));
}

} // namespace
