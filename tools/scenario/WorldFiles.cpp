#include "tools/scenario/WorldFiles.h"

#include "platform/local/documents/PdfDocuments.h"
#include "platform/local/files/Files.h"
#include "platform/local/files/ResourceFork.h"
#include "platform/world/World.h"
#include "tools/scenario/PathPolicy.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QJsonArray>
#include <archive.h>
#include <archive_entry.h>
#include <sys/xattr.h>

namespace scenario {

namespace {

// A relative path that stays inside the root: no empty, "." or ".." components.
bool isSafeRelativePath(const QString& path) {
    if (path.isEmpty() || path.startsWith(u'/'))
        return false;
    QString trimmed = path;
    if (trimmed.endsWith(u'/'))
        trimmed.chop(1);
    for (const QString& part : trimmed.split(u'/')) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    }
    return true;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

std::optional<QString> writeImage(const QString& path, const QJsonObject& image) {
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    QString error;
    const auto bytes = EncodedPicture(image, suffix, &error);
    if (!bytes)
        return error;
    if (!writeFile(path, *bytes))
        return QStringLiteral("the image could not be written");
    return std::nullopt;
}

// {"url ": ["address", ...]}: each key a four-character resource type, each text one resource
// of it, in order. Written as an AppleDouble file "._name" beside the file, or, with
// "resource_fork_in": "xattr", as the file's attribute user.com.apple.ResourceFork.
std::optional<QString> writeResourceFork(const QString& path, const QJsonObject& spec) {
    std::vector<std::pair<OSType, QByteArray>> resources;
    const QJsonObject fork = spec.value(QStringLiteral("resource_fork")).toObject();
    for (auto type = fork.begin(); type != fork.end(); ++type) {
        const QByteArray code = type.key().toLatin1();
        if (code.size() != 4 || !type.value().isArray())
            return QStringLiteral("resource_fork: a four-character type and a list of texts");
        const OSType value = (OSType(UInt8(code[0])) << 24) | (OSType(UInt8(code[1])) << 16) |
                             (OSType(UInt8(code[2])) << 8) | OSType(UInt8(code[3]));
        for (const QJsonValue& text : type.value().toArray())
            resources.emplace_back(value, text.toString().toUtf8());
    }
    const QByteArray bytes = MakeResourceFork(resources);
    const QString where = spec.value(QStringLiteral("resource_fork_in")).toString();
    if (where == QLatin1String("xattr")) {
        if (::setxattr(QFile::encodeName(path).constData(), "user.com.apple.ResourceFork",
                       bytes.constData(), size_t(bytes.size()), 0) != 0)
            return QStringLiteral("the resource fork attribute could not be set");
        return std::nullopt;
    }
    if (!where.isEmpty() && where != QLatin1String("appledouble"))
        return QStringLiteral("resource_fork_in: \"xattr\" or \"appledouble\"");
    const QFileInfo info(path);
    if (!writeFile(info.path() + QStringLiteral("/._") + info.fileName(), MakeAppleDouble(bytes)))
        return QStringLiteral("the AppleDouble file could not be written");
    return std::nullopt;
}

std::optional<QString> createEntry(const QString& name, const QJsonObject& spec,
                                   platform::world::World& world, const QDir& scenarioDir,
                                   const PathPolicy& policy) {
    const QString path = world.root() + u'/' + name;
    if (name.endsWith(u'/')) {
        if (!QDir().mkpath(path))
            return QStringLiteral("the folder could not be made");
        return std::nullopt;
    }
    QDir().mkpath(QFileInfo(path).path());
    static const QStringList kForms = {QStringLiteral("text"), QStringLiteral("base64"),
                                       QStringLiteral("image"), QStringLiteral("copy"),
                                       QStringLiteral("symlink")};
    QStringList forms;
    for (const QString& key : spec.keys()) {
        if (kForms.contains(key))
            forms.append(key);
        else if (key != QLatin1String("extension_hidden") &&
                 key != QLatin1String("resource_fork") && key != QLatin1String("resource_fork_in"))
            return QStringLiteral("unknown file form \"%1\"").arg(key);
    }
    if (forms.size() > 1)
        return QStringLiteral("a file takes one of text, base64, image, copy or symlink");
    const QString form = forms.isEmpty() ? QStringLiteral("text") : forms.first();
    const QJsonValue value = spec.value(form);
    if (form == QLatin1String("text")) {
        if (!writeFile(path, value.toString().toUtf8()))
            return QStringLiteral("the file could not be written");
    } else if (form == QLatin1String("base64")) {
        auto decoded = QByteArray::fromBase64Encoding(value.toString().toLatin1(),
                                                      QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return QStringLiteral("the base64 text is not valid");
        if (!writeFile(path, *decoded))
            return QStringLiteral("the file could not be written");
    } else if (form == QLatin1String("image")) {
        if (auto error = writeImage(path, value.toObject()))
            return error;
    } else if (form == QLatin1String("copy")) {
        const QString source = scenarioDir.absoluteFilePath(value.toString());
        if (!QFile::copy(source, path))
            return QStringLiteral("cannot copy %1").arg(value.toString());
    } else if (form == QLatin1String("symlink")) {
        const QString target = world.expand(value.toString());
        const QString absolute =
            QFileInfo(target).isAbsolute() ? target : world.root() + u'/' + target;
        if (auto error = policy.check(world, absolute, QStringLiteral("the link target")))
            return error;
        if (!QFile::link(absolute, path))
            return QStringLiteral("the symbolic link could not be made");
    }
    if (spec.contains(QStringLiteral("resource_fork"))) {
        if (auto error = writeResourceFork(path, spec))
            return error;
    }
    if (spec.value(QStringLiteral("extension_hidden")).toBool()) {
        FSRef ref;
        if (FSPathMakeRef(QFile::encodeName(path), &ref) != noErr ||
            LSSetExtensionHiddenForRef(&ref, true) != noErr)
            return QStringLiteral("the extension-hidden flag could not be set");
    }
    return std::nullopt;
}

QJsonValue customIcon(const QByteArray& path) {
    char iconPath[4096];
    const ssize_t size =
        lgetxattr(path.constData(), "user.velmora.custom-icon", iconPath, sizeof iconPath - 1);
    if (size <= 0)
        return QJsonValue::Null;
    const QImage icon(QFile::decodeName(QByteArray(iconPath, int(size))));
    return QJsonObject{{QStringLiteral("width"), icon.width()},
                       {QStringLiteral("height"), icon.height()}};
}

QJsonValue optionalText(const std::optional<QString>& text) {
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
}

// Pages, title, creator and media boxes of a file that holds a PDF header in its first
// kilobyte, as PDF readers look for it; none for anything else.
std::optional<QJsonObject> describePdf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.read(1024).contains("%PDF-"))
        return std::nullopt;
    const CGPDFDocumentRef document = CGPDFDocumentCreateWithPath(path);
    if (!document)
        return std::nullopt;
    QJsonArray boxes;
    const std::size_t pages = CGPDFDocumentGetNumberOfPages(document);
    for (std::size_t page = 1; page <= pages; ++page) {
        const CGRect box = CGPDFPageGetMediaBox(document, page);
        boxes.append(QJsonArray{box.x, box.y, box.width, box.height});
    }
    const PDFDocumentInfo info = CGPDFDocumentGetInfo(document);
    return QJsonObject{{QStringLiteral("pages"), double(pages)},
                       {QStringLiteral("title"), optionalText(info.title)},
                       {QStringLiteral("creator"), optionalText(info.creator)},
                       {QStringLiteral("boxes"), boxes}};
}

// The entries of a zip archive, in the archive's order; none for anything else.
std::optional<QJsonArray> describeZip(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.read(4).startsWith("PK\x03\x04"))
        return std::nullopt;
    archive* reader = archive_read_new();
    archive_read_support_format_zip(reader);
    std::optional<QJsonArray> entries;
    if (archive_read_open_filename(reader, QFile::encodeName(path).constData(), 65536) ==
        ARCHIVE_OK) {
        entries.emplace();
        archive_entry* entry = nullptr;
        while (archive_read_next_header(reader, &entry) == ARCHIVE_OK)
            entries->append(QString::fromUtf8(archive_entry_pathname(entry)));
    }
    archive_read_free(reader);
    return entries;
}

QJsonObject describeFile(const QFileInfo& info) {
    QJsonObject entry{{QStringLiteral("type"), QStringLiteral("file")},
                      {QStringLiteral("size"), double(info.size())}};
    QFile file(info.filePath());
    if (file.open(QIODevice::ReadOnly)) {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        hash.addData(&file);
        entry.insert(QStringLiteral("sha256"), QString::fromLatin1(hash.result().toHex()));
    }
    FSRef ref;
    Boolean hidden = false;
    const QByteArray path = QFile::encodeName(info.filePath());
    entry.insert(QStringLiteral("extension_hidden"),
                 FSPathMakeRef(path, &ref) == noErr &&
                     LSGetExtensionHiddenForRef(&ref, &hidden) == noErr && hidden);
    entry.insert(QStringLiteral("custom_icon"), customIcon(path));
    QImageReader reader(info.filePath());
    reader.setDecideFormatFromContent(true);
    if (reader.canRead()) {
        const QSize size = reader.size();
        entry.insert(QStringLiteral("image"),
                     QJsonObject{{QStringLiteral("width"), size.width()},
                                 {QStringLiteral("height"), size.height()}});
    }
    // The bytes of a PDF or a zip archive hold the times it and its files were written: its
    // pages or its entries describe it instead.
    const auto zip = describeZip(info.filePath());
    const auto pdf = zip ? std::nullopt : describePdf(info.filePath());
    if (zip)
        entry.insert(QStringLiteral("zip"), *zip);
    if (pdf)
        entry.insert(QStringLiteral("pdf"), *pdf);
    if (zip || pdf) {
        entry.remove(QStringLiteral("sha256"));
        entry.remove(QStringLiteral("size"));
    }
    return entry;
}

} // namespace

std::optional<QString> CreateFiles(const QJsonObject& files, platform::world::World& world,
                                   const QDir& scenarioDir, const PathPolicy& policy) {
    for (auto it = files.begin(); it != files.end(); ++it) {
        if (!isSafeRelativePath(it.key()))
            return QStringLiteral("file \"%1\": paths are relative to the root and stay in it")
                .arg(it.key());
        if (!it.value().isObject())
            return QStringLiteral("file \"%1\": the entry must be an object").arg(it.key());
        if (auto error = createEntry(it.key(), it.value().toObject(), world, scenarioDir, policy))
            return QStringLiteral("file \"%1\": %2").arg(it.key(), *error);
    }
    return std::nullopt;
}

std::optional<QByteArray> EncodedPicture(const QJsonObject& image, const QByteArray& format,
                                         QString* error) {
    const int width = image.value(QStringLiteral("width")).toInt(-1);
    const int height = image.value(QStringLiteral("height")).toInt(-1);
    if (width <= 0 || height <= 0 || width > 10000 || height > 10000) {
        *error = QStringLiteral("an image needs a width and height from 1 to 10000");
        return std::nullopt;
    }
    QImage picture(width, height, QImage::Format_ARGB32);
    picture.fill(QColor(40, 120, 200));
    const bool writable = QImageWriter::supportedImageFormats().contains(format);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, writable ? format.constData() : "png")) {
        *error = QStringLiteral("the image could not be encoded");
        return std::nullopt;
    }
    return bytes;
}

QJsonObject DescribeTree(const QString& folder, const platform::world::World& world) {
    QJsonObject tree;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString relative = info.filePath().mid(folder.size() + 1);
        if (info.isSymLink()) {
            tree.insert(relative, QJsonObject{{QStringLiteral("type"), QStringLiteral("symlink")},
                                              {QStringLiteral("target"),
                                               world.abbreviate(info.symLinkTarget())}});
        } else if (info.isDir()) {
            tree.insert(relative + u'/',
                        QJsonObject{{QStringLiteral("type"), QStringLiteral("folder")}});
        } else {
            tree.insert(relative, describeFile(info));
        }
    }
    return tree;
}

} // namespace scenario
