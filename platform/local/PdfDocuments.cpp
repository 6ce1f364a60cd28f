#include "platform/local/PdfDocuments.h"

#include "platform/local/AtomicFileDevice.h"

#include <QFile>
#include <QFileInfo>
#include <qpdf/ClosedFileInputSource.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cerrno>
#include <cstdlib>
#include <exception>
#include <stdexcept>

class CGPDFDocument {
public:
    std::shared_ptr<QPDF> pdf = std::make_shared<QPDF>();
    std::vector<QPDFPageObjectHelper> pages;
};

class CGPDFContext {
public:
    QString path;
    CGRect mediaBox;
    QPDF pdf;
    std::vector<CGPDFDocumentRef> sources; // read again when the document is written
};

namespace {

std::optional<QString> InfoString(QPDF& pdf, const char* key) {
    QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
    if (!info.isDictionary())
        return std::nullopt;
    QPDFObjectHandle value = info.getKey(key);
    if (!value.isString())
        return std::nullopt;
    return QString::fromStdString(value.getUTF8Value());
}

// qpdf's output into the one writer. A failed write ends qpdf's writing at once, as qpdf's own
// pipelines do, instead of letting it write the rest of the document into nothing.
class FileWritingPipeline : public Pipeline {
public:
    explicit FileWritingPipeline(platform::AtomicFile& file)
        : Pipeline("velmora output", nullptr), m_file(file) {}
    void write(unsigned char const* data, size_t length) override {
        if (!m_file.write(data, length))
            throw std::runtime_error(m_file.errorString());
    }
    void finish() override {}

private:
    platform::AtomicFile& m_file;
};

} // namespace

CGPDFDocumentRef CGPDFDocumentCreateWithPath(const QString& path, bool keepFileOpen) {
    auto document = std::make_shared<CGPDFDocument>();
    const QByteArray name = QFile::encodeName(path);
    try {
        document->pdf->setSuppressWarnings(true);
        std::shared_ptr<ClosedFileInputSource> reopened;
        if (keepFileOpen) {
            document->pdf->processFile(name.constData());
        } else {
            reopened = std::make_shared<ClosedFileInputSource>(name.constData());
            reopened->stayOpen(true);
            document->pdf->processInputSource(reopened);
        }
        document->pages = QPDFPageDocumentHelper(*document->pdf).getAllPages();
        if (reopened)
            reopened->stayOpen(false);
    } catch (const std::exception&) {
        return nullptr;
    }
    return document;
}

std::size_t CGPDFDocumentGetNumberOfPages(const CGPDFDocumentRef& document) {
    return document ? document->pages.size() : 0;
}

CGRect CGPDFPageGetMediaBox(const CGPDFDocumentRef& document, std::size_t pageNumber) {
    if (!document || pageNumber < 1 || pageNumber > document->pages.size())
        return {};
    try {
        QPDFObjectHandle box = document->pages[pageNumber - 1].getMediaBox();
        if (!box.isRectangle())
            return {};
        const QPDFObjectHandle::Rectangle r = box.getArrayAsRectangle();
        return {float(std::min(r.llx, r.urx)), float(std::min(r.lly, r.ury)),
                float(std::abs(r.urx - r.llx)), float(std::abs(r.ury - r.lly))};
    } catch (const std::exception&) {
        return {};
    }
}

PDFDocumentInfo CGPDFDocumentGetInfo(const CGPDFDocumentRef& document) {
    if (!document)
        return {};
    try {
        return {InfoString(*document->pdf, "/Title"), InfoString(*document->pdf, "/Creator")};
    } catch (const std::exception&) {
        return {};
    }
}

CGPDFContextRef CGPDFContextCreateWithPath(const QString& path, const CGRect& mediaBox,
                                           const QString& title, const QString& creator) {
    CGPDFContextRef context(new CGPDFContext, [](CGPDFContext* c) { delete c; });
    context->path = path;
    context->mediaBox = mediaBox;
    context->pdf.emptyPDF();
    context->pdf.setSuppressWarnings(true);
    QPDFObjectHandle info = QPDFObjectHandle::newDictionary();
    info.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(title.toStdString()));
    info.replaceKey("/Creator", QPDFObjectHandle::newUnicodeString(creator.toStdString()));
    context->pdf.getTrailer().replaceKey("/Info", context->pdf.makeIndirectObject(info));
    if (mediaBox.width > 0 && mediaBox.height > 0) {
        context->pdf.getRoot().getKey("/Pages").replaceKey(
            "/MediaBox", QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(
                             mediaBox.x, mediaBox.y, mediaBox.x + mediaBox.width,
                             mediaBox.y + mediaBox.height)));
    }
    return context;
}

bool CGPDFContextAppendPage(CGPDFContext& context, const CGPDFDocumentRef& document,
                            std::size_t pageNumber) {
    if (!document || pageNumber < 1 || pageNumber > document->pages.size())
        return false;
    try {
        QPDFPageDocumentHelper(context.pdf).addPage(document->pages[pageNumber - 1], false);
    } catch (const std::exception&) {
        return false;
    }
    if (context.sources.empty() || context.sources.back() != document)
        context.sources.push_back(document);
    return true;
}

bool CGPDFContextClose(CGPDFContextRef context, QString* error) {
    if (!context)
        return false;
    platform::AtomicFile file(platform::FileSystemPath(context->path));
    try {
        FileWritingPipeline output(file);
        QPDFWriter writer(context->pdf);
        writer.setOutputPipeline(&output);
        writer.write();
    } catch (const std::exception&) {
        file.fail(EIO);
    }
    if (file.commit())
        return true;
    if (error)
        *error = QString::fromStdString(file.errorString());
    return false;
}
