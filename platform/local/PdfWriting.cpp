#include "platform/local/PdfWriting.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextFrame>
#include <memory>

namespace {

// Qt draws at the writer's resolution: at 72 dots an inch one unit is one point.
constexpr int kPointsPerInch = 72;

void SetUp(QPdfWriter& writer, const QSizeF& pageSize, const QString& title,
           const QString& creator) {
    writer.setResolution(kPointsPerInch);
    writer.setTitle(title);
    writer.setCreator(creator);
    writer.setPageLayout(QPageLayout(QPageSize(pageSize, QPageSize::Point), QPageLayout::Portrait,
                                     QMarginsF(), QPageLayout::Point, QMarginsF()));
}

} // namespace

bool WritePicturePdf(const QString& path, const QImage& picture, const QSizeF& pageSize,
                     const QString& title, const QString& creator) {
    if (picture.isNull() || pageSize.isEmpty())
        return false;
    {
        QPdfWriter writer(path);
        SetUp(writer, pageSize, title, creator);
        QPainter painter;
        if (!painter.begin(&writer))
            return false;
        painter.drawImage(QRectF(QPointF(0, 0), pageSize), picture);
        if (!painter.end())
            return false;
    }
    return QFile::exists(path);
}

bool PrintTextDocumentPdf(const QString& path, const QTextDocument& text, const QSizeF& pageSize,
                          const QString& title, const QString& creator) {
    if (pageSize.isEmpty())
        return false;
    {
        QPdfWriter writer(path);
        SetUp(writer, pageSize, title, creator);
        // A copy is laid out on the writer's pages, in its points, so the reader's document stays
        // as it was and a 12-point font prints 12 points high.
        std::unique_ptr<QTextDocument> pages(text.clone());
        pages->documentLayout()->setPaintDevice(&writer);
        pages->setPageSize(pageSize);
        QTextFrameFormat frame = pages->rootFrame()->frameFormat();
        frame.setLeftMargin(kPrintMarginHorizontal);
        frame.setRightMargin(kPrintMarginHorizontal);
        frame.setTopMargin(kPrintMarginVertical);
        frame.setBottomMargin(kPrintMarginVertical);
        pages->rootFrame()->setFrameFormat(frame);
        pages->print(&writer);
    }
    return QFileInfo(path).size() > 0;
}
