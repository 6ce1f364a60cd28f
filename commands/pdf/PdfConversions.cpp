#include "commands/pdf/PdfConversions.h"

#include "commands/pdf/FileTypes.h"
#include "commands/pdf/HtmlDocument.h"
#include "commands/pdf/HtmlText.h"
#include "commands/pdf/LayoutBounds.h"
#include "commands/pdf/RtfReader.h"
#include "common/CommandProgress.h"
#include "common/SelectionResolution.h"
#include "common/UniqueNames.h"
#include "platform/local/documents/PdfWriting.h"
#include "platform/local/documents/TypeIdentifiers.h"
#include "platform/local/files/ReadOnlyFile.h"
#include "platform/local/media/FilePreview.h"
#include "platform/local/system/BackgroundWork.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QStringDecoder>
#include <QTextDocument>
#include <cmath>
#include <memory>

namespace {

const QString kConvertedCreator = QStringLiteral("ZadAVO");

QSizeF PageSize(const CGRect* mediaBox, QSize fallback) {
    if (mediaBox && mediaBox->width > 0 && mediaBox->height > 0)
        return QSizeF(mediaBox->width, mediaBox->height);
    return QSizeF(fallback);
}

// UTF-16 and UTF-8 with a byte-order mark, then UTF-8 when the bytes are valid UTF-8, else
// Latin-1, which every byte sequence is.
QString DecodeText(const QByteArray& bytes) {
    if (const auto encoding = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*encoding);
        return decoder.decode(bytes);
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

std::unique_ptr<QTextDocument> ReadTextDocument(const QString& source) {
    const auto bytes = ReadRegularFile(source, kMaxTextFileBytes);
    if (!bytes)
        return nullptr;
    const QString type = UTIForPath(source).value_or(QString());
    std::unique_ptr<QTextDocument> document;
    if (UTTypeConformsTo(type, QLatin1String(kRichTextType))) {
        document = std::make_unique<QTextDocument>();
        if (!ReadRtfDocument(*bytes, document.get()))
            return nullptr;
    } else if (UTTypeConformsTo(type, QStringLiteral("text/html"))) {
        QStringDecoder decoder = QStringDecoder::decoderForHtml(*bytes);
        const QString html = decoder.isValid() ? decoder.decode(*bytes) : DecodeText(*bytes);
        if (QtReadsHtmlQuickly(html)) {
            document = std::make_unique<HtmlDocument>(QFileInfo(source).absolutePath());
            document->setHtml(html);
        } else {
            document = std::make_unique<QTextDocument>();
            document->setPlainText(HtmlPlainText(html));
        }
    } else {
        const QString text = DecodeText(*bytes);
        if (text.size() > kMaxPrintedCharacters)
            return nullptr;
        document = std::make_unique<QTextDocument>();
        document->setPlainText(text);
    }
    if (!BoundLayoutWork(document.get()))
        return nullptr;
    return document;
}

} // namespace

std::optional<std::pair<QImage, QSize>> ReadPicture(QIODevice& device, qint64 maxPixels) {
    QImageReader reader(&device);
    reader.setAutoTransform(true);
    QSize own = reader.size();
    if (own.isEmpty())
        return std::nullopt;
    const qint64 pixels = qint64(own.width()) * own.height();
    if (pixels > maxPixels) {
        const double scale = std::sqrt(double(maxPixels) / double(pixels));
        reader.setScaledSize(
            QSize(std::max(1, int(own.width() * scale)), std::max(1, int(own.height() * scale))));
    }
    // A format that cannot decode at a smaller size (PNG) decodes the whole picture first; Qt's
    // allocation limit then refuses one that would be too large, so memory stays bounded.
    const QImage picture = reader.read();
    if (picture.isNull())
        return std::nullopt;
    // An EXIF orientation turned the picture a quarter.
    if ((picture.width() > picture.height()) != (own.width() > own.height()))
        own.transpose();
    return std::pair{picture, own};
}

std::optional<QString> IntermediatePDFPath(const QString& source) {
    const auto folder = TemporaryItemsFolderPath();
    if (!folder)
        return std::nullopt;
    QString name = QFileInfo(source).fileName();
    if (const qsizetype dot = name.lastIndexOf(u'.'); dot > 0)
        name.truncate(dot);
    return *folder + u'/' + name + QStringLiteral(".pdf");
}

std::optional<QString> ConvertTextToPDF(const QString& source, const CGRect* mediaBox) {
    const auto path = IntermediatePDFPath(source);
    if (!path)
        return std::nullopt;
    if (const auto text = ReadTextDocument(source))
        PrintTextDocumentPdf(*path, *text, PageSize(mediaBox, kTextPageSize),
                             QFileInfo(source).fileName(), kConvertedCreator);
    return path;
}

std::optional<QString> ConvertImageToPDF(const QString& source, const CGRect*) {
    const auto path = IntermediatePDFPath(source);
    if (!path)
        return std::nullopt;
    const auto file = OpenRegularFile(source, kMaxPictureFileBytes);
    if (const auto picture = file ? ReadPicture(*file, kMaxPicturePixels) : std::nullopt)
        WritePicturePdf(*path, picture->first, QSizeF(picture->second),
                        QFileInfo(source).fileName(), kConvertedCreator);
    return path;
}

std::optional<QString> ConvertFilePreviewToPDF(const QString& source, const CGRect* mediaBox) {
    const auto path = IntermediatePDFPath(source);
    if (!path)
        return std::nullopt;
    const QSizeF size = PageSize(mediaBox, kPreviewSize);
    const QSize box(std::max(1, int(size.width())), std::max(1, int(size.height())));
    if (const auto preview = ImageWithPreviewOfFileAtPath(source, box, false))
        WritePicturePdf(*path, *preview, QSizeF(preview->size()), QFileInfo(source).fileName(),
                        kConvertedCreator);
    return path;
}

QStringList PDFConvertedFinderSelection(QStringList* sources) {
    const QStringList selection = FinderSelectionPaths();
    QStringList converted;
    // Converting is reading, laying out and writing every file: off the menu's thread.
    platform::RunInBackground([&] { converted = PDFConvertedFiles(selection, sources); });
    return converted;
}

QStringList PDFConvertedFiles(const QStringList& paths, QStringList* sources) {
    QStringList converted;
    for (qsizetype index = 0; index < paths.size(); ++index) {
        const QString& path = paths[index];
        SetCommandProgress(QStringLiteral("Converting %1 of %2").arg(index + 1).arg(paths.size()));
        std::optional<QString> result;
        if (FileIsText(path)) {
            result = ConvertTextToPDF(path, nullptr);
        } else {
            const QString mime = MimeTypeForPath(path).value_or(QString()).toLower();
            if (mime.startsWith(QLatin1String("application/pdf")))
                result = path;
            else if (mime.startsWith(QLatin1String("image")))
                result = ConvertImageToPDF(path, nullptr);
            else
                result = ConvertFilePreviewToPDF(path, nullptr);
        }
        if (result) {
            converted.append(*result);
            if (sources)
                sources->append(path);
        }
    }
    return converted;
}
