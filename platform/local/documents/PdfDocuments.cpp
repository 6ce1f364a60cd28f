#include "platform/local/documents/PdfDocuments.h"

#include "platform/local/files/AtomicFileDevice.h"
#include "platform/local/files/ReadOnlyFile.h"

#include <QFile>
#include <qpdf/FileInputSource.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cerrno>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

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

// A PDF's bytes for qpdf, read from the regular file the bounded reader opened: qpdf never opens
// a path itself. A source that is not kept open is closed after each read and opened again
// through the same check when qpdf next reads it, and must then still be the same file,
// unchanged (device, inode, size, modification time); anything else ends the read with an
// exception, as a read error in qpdf does.
class RegularFileInputSource : public InputSource {
public:
    RegularFileInputSource(const QString& path, bool keepOpen)
        : m_path(QFile::encodeName(path)), m_name(m_path.toStdString()), m_keepOpen(keepOpen) {
        const int fd = OpenRegularFileForReading(m_path, kMaxPdfFileBytes, &m_identity);
        if (fd < 0)
            throw std::runtime_error(m_name + ": not a regular file of a PDF's size");
        adopt(fd);
    }

    qint64 size() const { return m_identity.st_size; }

    // While true, the file stays open between reads.
    void stayOpen(bool open) {
        m_stayOpen = open;
        if (m_file)
            after();
    }

    qpdf_offset_t findAndSkipNextEOL() override {
        before();
        const qpdf_offset_t result = m_file->findAndSkipNextEOL();
        after();
        return result;
    }
    std::string const& getName() const override { return m_name; }
    qpdf_offset_t tell() override {
        before();
        const qpdf_offset_t result = m_file->tell();
        after();
        return result;
    }
    void seek(qpdf_offset_t offset, int whence) override {
        before();
        m_file->seek(offset, whence);
        after();
    }
    void rewind() override { seek(0, SEEK_SET); }
    size_t read(char* buffer, size_t length) override {
        before();
        const size_t result = m_file->read(buffer, length);
        after();
        return result;
    }
    // The character qpdf takes back is the one just read, from the file left open for it.
    void unreadCh(char ch) override {
        before();
        m_file->unreadCh(ch);
    }

private:
    void adopt(int fd) {
        FILE* stream = fdopen(fd, "rb");
        if (!stream) {
            ::close(fd);
            throw std::runtime_error(m_name + ": cannot be read");
        }
        m_file = std::make_shared<FileInputSource>(m_name.c_str(), stream, true);
    }

    bool sameFile(const struct stat& st) const {
        return st.st_dev == m_identity.st_dev && st.st_ino == m_identity.st_ino &&
               st.st_size == m_identity.st_size && st.st_mtim.tv_sec == m_identity.st_mtim.tv_sec &&
               st.st_mtim.tv_nsec == m_identity.st_mtim.tv_nsec;
    }

    void before() {
        if (m_file)
            return;
        struct stat st;
        const int fd = OpenRegularFileForReading(m_path, kMaxPdfFileBytes, &st);
        if (fd < 0)
            throw std::runtime_error(m_name + ": no longer a regular file of a PDF's size");
        if (!sameFile(st)) {
            ::close(fd);
            throw std::runtime_error(m_name + ": changed while it was being read");
        }
        adopt(fd);
        m_file->seek(m_offset, SEEK_SET);
        m_file->setLastOffset(last_offset);
    }

    // Where the file stands is asked of it only when it is closed: asking costs a system call,
    // and qpdf reads a damaged file 128 bytes at a time while it repairs it.
    void after() {
        last_offset = m_file->getLastOffset();
        if (m_keepOpen || m_stayOpen)
            return;
        m_offset = m_file->tell();
        m_file.reset();
    }

    QByteArray m_path;
    std::string m_name;
    struct stat m_identity {};
    bool m_keepOpen;
    bool m_stayOpen = false;
    qpdf_offset_t m_offset = 0;
    std::shared_ptr<FileInputSource> m_file;
};

// PDF readers accept a header anywhere in the first 1024 bytes. A file without one is no PDF,
// and qpdf would search the whole of it for objects to rebuild a document from.
constexpr size_t kHeaderWindow = 1024;

bool HasPdfHeader(InputSource& source) {
    char start[kHeaderWindow];
    source.seek(0, SEEK_SET);
    const size_t length = source.read(start, sizeof start);
    source.seek(0, SEEK_SET);
    return std::string_view(start, length).find("%PDF-") != std::string_view::npos;
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
    try {
        document->pdf->setSuppressWarnings(true);
        const auto source = std::make_shared<RegularFileInputSource>(path, keepFileOpen);
        document->pdf->setAttemptRecovery(source->size() <= kMaxRepairedPdfBytes);
        source->stayOpen(true);
        if (!HasPdfHeader(*source))
            return nullptr;
        document->pdf->processInputSource(source);
        document->pages = QPDFPageDocumentHelper(*document->pdf).getAllPages();
        source->stayOpen(false);
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
