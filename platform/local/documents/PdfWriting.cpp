#include "platform/local/documents/PdfWriting.h"

#include "platform/local/files/AtomicFileDevice.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextFrame>

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

// The document laid out on `pages`' pages, each page's share of it drawn on its own page.
bool DrawPages(QTextDocument& text, QPdfWriter& pages, QPainter& painter) {
    const QSizeF pageSize = text.pageSize();
    const int count = text.pageCount();
    QAbstractTextDocumentLayout::PaintContext context;
    // Black on white paper, whatever the desktop's palette says text is.
    context.palette.setColor(QPalette::Text, Qt::black);
    for (int page = 0; page < count; ++page) {
        if (page > 0 && !pages.newPage())
            return false;
        const QRectF view(0, page * pageSize.height(), pageSize.width(), pageSize.height());
        painter.save();
        painter.translate(0, -view.top());
        painter.setClipRect(view);
        context.clip = view;
        text.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    return true;
}

} // namespace

bool WritePicturePdf(const QString& path, const QImage& picture, const QSizeF& pageSize,
                     const QString& title, const QString& creator) {
    if (picture.isNull() || pageSize.isEmpty())
        return false;
    platform::AtomicFile file(platform::FileSystemPath(path));
    {
        platform::AtomicFileDevice device(file);
        QPdfWriter writer(&device);
        SetUp(writer, pageSize, title, creator);
        QPainter painter;
        if (!painter.begin(&writer))
            return false;
        painter.drawImage(QRectF(QPointF(0, 0), pageSize), picture);
        if (!painter.end())
            return false;
    }
    return file.commit();
}

bool PrintTextDocumentPdf(const QString& path, QTextDocument& text, const QSizeF& pageSize,
                          const QString& title, const QString& creator) {
    if (pageSize.isEmpty())
        return false;
    platform::AtomicFile file(platform::FileSystemPath(path));
    {
        platform::AtomicFileDevice device(file);
        QPdfWriter writer(&device);
        SetUp(writer, pageSize, title, creator);
        // Laid out on the writer's pages, in its points, so that a 12-point font prints 12
        // points high.
        text.documentLayout()->setPaintDevice(&writer);
        text.setPageSize(pageSize);
        QTextFrameFormat frame = text.rootFrame()->frameFormat();
        frame.setLeftMargin(kPrintMarginHorizontal);
        frame.setRightMargin(kPrintMarginHorizontal);
        frame.setTopMargin(kPrintMarginVertical);
        frame.setBottomMargin(kPrintMarginVertical);
        text.rootFrame()->setFrameFormat(frame);
        QPainter painter;
        const bool drawn = painter.begin(&writer) && DrawPages(text, writer, painter);
        const bool ended = painter.isActive() ? painter.end() : false;
        // The writer goes before the document: the layout must not keep a device that is gone.
        text.documentLayout()->setPaintDevice(nullptr);
        if (!drawn || !ended)
            return false;
    }
    return file.commit();
}
