#include "commands/pdf/FileTypes.h"

#include "common/ItemPaths.h"
#include "foundation/MacRoman.h"
#include "platform/local/documents/TypeIdentifiers.h"
#include "platform/local/files/Files.h"
#include "platform/services/BundleInfo.h"

#include <QFileInfo>
#include <cstring>

CMap<CString256, ICMapEntry> gSuffixMap;

namespace {

// A signature or a key is read into a buffer of this size, as the system's C texts are.
constexpr int kTextBufferSize = 255;

// The extension after the last dot of the path's last component, as a file URL's path
// extension is: none for "notes", ".profile" or "notes.".
std::optional<QString> PathExtension(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0 || dot == name.size() - 1)
        return std::nullopt;
    return name.mid(dot + 1);
}

} // namespace

OSType GetOurSignature() {
    const auto signature =
        CFBundleGetValueForInfoDictionaryKey(QStringLiteral("CFBundleSignature"));
    if (!signature)
        return 0;
    const QByteArray text = signature->toLocal8Bit().left(kTextBufferSize);
    if (text.size() < 4)
        return 0;
    return (OSType(UInt8(text[0])) << 24) | (OSType(UInt8(text[1])) << 16) |
           (OSType(UInt8(text[2])) << 8) | OSType(UInt8(text[3]));
}

CInternetConfig::CInternetConfig(unsigned long signature) : m_signature(signature) {}

CInternetConfig::~CInternetConfig() {
    Stop();
}

OSStatus CInternetConfig::Start(FSSpec*) {
    const OSStatus status = ICStart(&m_instance, OSType(m_signature));
    if (status == noErr)
        m_started = true;
    return status;
}

OSStatus CInternetConfig::StartMapIteration() {
    m_next = 1;
    if (!m_started)
        return -1;
    OSStatus status = ICBegin(m_instance, icReadOnlyPerm);
    if (status != noErr)
        return status;
    ICAttr attr = 0;
    status = ICGetPrefHandle(m_instance, kICMapping, &attr, &m_mapping);
    if (status == noErr)
        status = ICCountMapEntries(m_instance, m_mapping, &m_count);
    if (status != noErr) {
        m_mapping.reset();
        ICEnd(m_instance);
    }
    return status;
}

bool CInternetConfig::NextMapEntry(ICMapEntry* entry) {
    if (!m_started || !m_mapping || m_next > m_count)
        return false;
    long position = 0;
    ICGetIndMapEntry(m_instance, m_mapping, m_next, &position, entry);
    ++m_next;
    return true;
}

OSStatus CInternetConfig::FinishMapIteration() {
    if (!m_started || !m_mapping)
        return -1;
    m_mapping.reset();
    return ICEnd(m_instance);
}

OSStatus CInternetConfig::Stop() {
    if (!m_started)
        return noErr;
    m_started = false;
    return ICStop(m_instance);
}

void InitializeSuffixMap() {
    CInternetConfig config(GetOurSignature());
    config.Start(nullptr);
    config.StartMapIteration();
    ICMapEntry entry;
    while (config.NextMapEntry(&entry)) {
        auto* link = gSuffixMap.insert(CString256(entry.extension), gSuffixMap.vdefault);
        if (link)
            link->value = entry;
    }
    config.FinishMapIteration();
    config.Stop();
}

bool MapFSRefToMimeType(FSRef& ref, CString256& mimeType) {
    UInt8 path[1024];
    if (FSRefMakePath(&ref, path, sizeof path) != noErr)
        return false;
    const auto extension = PathExtension(QString::fromUtf8(reinterpret_cast<const char*>(path)));
    if (!extension)
        return false;
    char key[kTextBufferSize + 1] = ".";
    size_t length = 1;
    for (const QChar character : *extension) {
        const auto byte = MacRomanByte(character.unicode());
        if (!byte)
            return false;
        if (length < kTextBufferSize)
            key[length++] = char(*byte);
    }
    key[length] = '\0';
    const auto* link = gSuffixMap.lookup(CString256(key));
    if (!link)
        return false;
    mimeType = CString256(link->value.MIMEType);
    return true;
}

std::optional<QString> MimeTypeForPath(const QString& path) {
    if (const auto extension = PathExtension(path)) {
        if (const auto type = UTTypeCreatePreferredIdentifierForExtension(*extension)) {
            if (auto mime = UTTypeCopyPreferredMimeType(*type))
                return mime;
        }
    }
    FSRef ref;
    CString256 mimeType;
    if (getFSRef(path, &ref) && MapFSRefToMimeType(ref, mimeType))
        return QString::fromLocal8Bit(mimeType.text);
    return std::nullopt;
}

std::optional<QString> UTIForPath(const QString& path) {
    const auto extension = PathExtension(path);
    if (!extension)
        return std::nullopt;
    return UTTypeCreatePreferredIdentifierForExtension(*extension);
}

bool FileIsText(const QString& path) {
    const auto identifier = UTIForPath(path);
    if (!identifier)
        return false;
    for (const char* type : {kRichTextType, kPlainTextType, kAnyTextType, kMailMessageType}) {
        if (UTTypeConformsTo(*identifier, QLatin1String(type)))
            return true;
    }
    return false;
}
