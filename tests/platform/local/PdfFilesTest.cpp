// PDFs read only as regular files through the bounded reader, and written whole or not at all
// through the one writer.
#include "platform/local/documents/PdfDocuments.h"
#include "platform/local/documents/PdfWriting.h"
#include "tests/support/FileTree.h"
#include "tests/support/MediaFixtures.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextDocument>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

class PdfFiles : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_files.path(name); }
    QStringList entries() const {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

    QTemporaryDir m_dir;
    fixtures::FileTree m_files{m_dir.path()};
};

// Named like PDFs, none of these is opened, by either way of reading (kept open, or reopened
// for each read); a FIFO would otherwise block, a device or a file of zeros be searched without
// end for objects.
TEST_F(PdfFiles, OnlyRegularFilesWithAPdfHeaderAreOpened) {
    ASSERT_TRUE(fixtures::WritePdf(path(QStringLiteral("good.pdf")), {QSizeF(100, 200)},
                                   QStringLiteral("Good")));
    ASSERT_EQ(mkfifo(QFile::encodeName(path(QStringLiteral("fifo.pdf"))).constData(), 0600), 0);
    m_files.link(QStringLiteral("to-fifo.pdf"), path(QStringLiteral("fifo.pdf")));
    m_files.link(QStringLiteral("zero.pdf"), QStringLiteral("/dev/zero"));
    m_files.file(QStringLiteral("zeros.pdf"), QByteArray(4096, '\0') + "%PDF-1.4\n");
    for (const bool keepOpen : {true, false}) {
        EXPECT_EQ(CGPDFDocumentGetNumberOfPages(
                      CGPDFDocumentCreateWithPath(path(QStringLiteral("good.pdf")), keepOpen)),
                  1u);
        for (const QString& name : {QStringLiteral("fifo.pdf"), QStringLiteral("to-fifo.pdf"),
                                    QStringLiteral("zero.pdf"), QStringLiteral("zeros.pdf")})
            EXPECT_EQ(CGPDFDocumentCreateWithPath(path(name), keepOpen), nullptr)
                << name.toStdString() << " " << keepOpen;
    }
}

// A document read by reopening its file reads no other file put at its path meanwhile, not even
// one with the same bytes, and opens no FIFO there: qpdf finds its objects unreadable, as in a
// damaged file.
TEST_F(PdfFiles, AReopenedFileIsReadOnlyWhileItIsTheFileFirstOpened) {
    const QString original = path(QStringLiteral("a.pdf"));
    const QString out = path(QStringLiteral("out.pdf"));
    const auto replaceByCopy = [&] {
        return QFile::copy(original, original + QStringLiteral(".copy")) &&
               std::rename(QFile::encodeName(original + QStringLiteral(".copy")).constData(),
                           QFile::encodeName(original).constData()) == 0;
    };
    const auto replaceByFifo = [&] {
        return QFile::remove(original) &&
               mkfifo(QFile::encodeName(original).constData(), 0600) == 0;
    };
    for (const auto& replace :
         {std::function<bool()>(replaceByCopy), std::function<bool()>(replaceByFifo)}) {
        QFile::remove(original);
        ASSERT_TRUE(fixtures::WritePdf(original, {QSizeF(100, 100)}, QStringLiteral("First")));
        const CGPDFDocumentRef document = CGPDFDocumentCreateWithPath(original, false);
        ASSERT_NE(document, nullptr);
        ASSERT_TRUE(replace());
        CGPDFContextRef context =
            CGPDFContextCreateWithPath(out, {}, QStringLiteral("Out"), QString());
        if (CGPDFContextAppendPage(*context, document, 1) &&
            CGPDFContextClose(std::move(context))) {
            QProcess text;
            text.start(QStringLiteral("pdftotext"), {out, QStringLiteral("-")});
            ASSERT_TRUE(text.waitForFinished(30000));
            EXPECT_FALSE(text.readAllStandardOutput().contains("First"));
        }
    }
}

// Qt's PDF writer writes into the one writer's device, which cannot seek: the documents it makes
// there are whole. A write that fails part way (the process's file size limit standing for a
// full disk) is reported and leaves the document that was at the path as it was; either way no
// temporary file stays beside it.
TEST_F(PdfFiles, PicturesAndTextsAreWrittenWholeOrNotAtAll) {
    QImage noise(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(noise.scanLine(y)),
                                              noise.width());
    QTextDocument text;
    text.setPlainText(QStringLiteral("Words that fill pages. ").repeated(20000));
    const QString picture = path(QStringLiteral("picture.pdf"));
    const QString printed = path(QStringLiteral("text.pdf"));
    const auto write = [&] {
        return std::pair{WritePicturePdf(picture, noise, QSizeF(400, 300), QString(), QString()),
                         PrintTextDocumentPdf(printed, text, QSizeF(612, 792),
                                              QStringLiteral("text.txt"), QString())};
    };
    ASSERT_EQ(write(), std::pair(true, true));
    const auto pages = [&] {
        return std::pair{CGPDFDocumentGetNumberOfPages(CGPDFDocumentCreateWithPath(picture)),
                         CGPDFDocumentGetNumberOfPages(CGPDFDocumentCreateWithPath(printed))};
    };
    const auto written = pages();
    EXPECT_EQ(written.first, 1u);
    EXPECT_GT(written.second, 10u);
    const CGRect box = CGPDFPageGetMediaBox(CGPDFDocumentCreateWithPath(picture), 1);
    EXPECT_EQ(std::pair(box.width, box.height), std::pair(400.0f, 300.0f));

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = 16 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto failed = write();
    setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_EQ(failed, std::pair(false, false));
    EXPECT_EQ(pages(), written);
    EXPECT_FALSE(WritePicturePdf(path(QStringLiteral("none/x.pdf")), noise, QSizeF(400, 300),
                                 QString(), QString()));
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("picture.pdf"), QStringLiteral("text.pdf")}));
}

} // namespace
