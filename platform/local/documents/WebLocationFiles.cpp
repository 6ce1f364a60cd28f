#include "platform/local/documents/WebLocationFiles.h"

#include "platform/local/files/ReadOnlyFile.h"
#include "platform/local/text/TextEncodings.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QXmlStreamReader>

#include <sys/stat.h>

namespace {

const QLatin1String kUrlKey("URL");

std::optional<QString> WebAddress(const QString& text) {
    const QString address = text.trimmed();
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return std::nullopt;
    return address;
}

// ---- Binary property lists ------------------------------------------------------------------

// The layout of "bplist00": objects, then a table of their offsets, then a 32-byte trailer
// giving the sizes of offsets and object references, the number of objects, the top object
// and where the offset table starts. Every number is big-endian.
class BinaryPropertyList {
public:
    static std::optional<BinaryPropertyList> open(const QByteArray& bytes) {
        constexpr qint64 kHeader = 8;
        constexpr qint64 kTrailer = 32;
        const qint64 size = bytes.size();
        if (size < kHeader + kTrailer || !bytes.startsWith("bplist00"))
            return std::nullopt;
        BinaryPropertyList list(bytes);
        const qint64 trailer = size - kTrailer;
        list.m_offsetSize = quint8(bytes[trailer + 6]);
        list.m_refSize = quint8(bytes[trailer + 7]);
        if (list.m_offsetSize < 1 || list.m_offsetSize > 8 || list.m_refSize < 1 ||
            list.m_refSize > 8)
            return std::nullopt;
        const auto count = list.number(trailer + 8, 8);
        const auto top = list.number(trailer + 16, 8);
        const auto table = list.number(trailer + 24, 8);
        // Each object takes at least one byte and one table entry, so a count beyond the
        // file's size is a lie, refused before it is multiplied.
        if (!count || !top || !table || *count < 1 || *count > quint64(size) || *top >= *count ||
            *table < quint64(kHeader) || *table > quint64(trailer) ||
            *count * list.m_offsetSize > quint64(trailer) - *table)
            return std::nullopt;
        list.m_count = qint64(*count);
        list.m_top = qint64(*top);
        list.m_table = qint64(*table);
        return list;
    }

    // The string of the top dictionary's key "URL".
    std::optional<QString> topDictionaryUrl() const {
        const auto top = object(m_top);
        if (!top || top->type != 0xD)
            return std::nullopt;
        const qint64 refs = top->length * m_refSize;
        if (top->length > m_table || top->start + 2 * refs > m_table)
            return std::nullopt;
        for (qint64 i = 0; i < top->length; ++i) {
            const auto keyRef = number(top->start + i * m_refSize, m_refSize);
            if (!keyRef || string(*keyRef) != kUrlKey)
                continue;
            const auto valueRef = number(top->start + refs + i * m_refSize, m_refSize);
            return valueRef ? string(*valueRef) : std::nullopt;
        }
        return std::nullopt;
    }

private:
    struct Object {
        int type;
        qint64 length; // the marker's count: bytes, characters or entries
        qint64 start;  // where its content begins
    };

    explicit BinaryPropertyList(const QByteArray& bytes) : m_bytes(bytes) {}

    std::optional<quint64> number(qint64 at, int width) const {
        if (at < 0 || width < 1 || width > 8 || at + width > m_bytes.size())
            return std::nullopt;
        quint64 value = 0;
        for (int i = 0; i < width; ++i)
            value = value << 8 | quint8(m_bytes[at + i]);
        return value;
    }

    std::optional<Object> object(quint64 ref) const {
        if (ref >= quint64(m_count))
            return std::nullopt;
        const auto at = number(m_table + qint64(ref) * m_offsetSize, m_offsetSize);
        if (!at || *at < 8 || *at >= quint64(m_table))
            return std::nullopt;
        const qint64 offset = qint64(*at);
        const quint8 marker = quint8(m_bytes[offset]);
        Object found{marker >> 4, marker & 0xF, offset + 1};
        if (found.length == 0xF) {
            // A longer count follows as an integer object of 1, 2, 4 or 8 bytes.
            const auto intMarker = number(offset + 1, 1);
            if (!intMarker || (*intMarker >> 4) != 0x1 || (*intMarker & 0xF) > 3)
                return std::nullopt;
            const int width = 1 << (*intMarker & 0xF);
            const auto length = number(offset + 2, width);
            if (!length || *length > quint64(m_table))
                return std::nullopt;
            found.length = qint64(*length);
            found.start = offset + 2 + width;
        }
        return found;
    }

    // An ASCII (5) or UTF-16 (6) string object lying wholly among the objects.
    std::optional<QString> string(quint64 ref) const {
        const auto found = object(ref);
        if (!found || (found->type != 0x5 && found->type != 0x6))
            return std::nullopt;
        const qint64 bytes = found->type == 0x5 ? found->length : 2 * found->length;
        if (found->start + bytes > m_table)
            return std::nullopt;
        if (found->type == 0x5)
            return QString::fromLatin1(m_bytes.constData() + found->start, bytes);
        QString text(found->length, Qt::Uninitialized);
        for (qint64 i = 0; i < found->length; ++i)
            text[i] = QChar(char16_t(quint8(m_bytes[found->start + 2 * i]) << 8 |
                                     quint8(m_bytes[found->start + 2 * i + 1])));
        return text;
    }

    const QByteArray& m_bytes;
    int m_offsetSize = 0;
    int m_refSize = 0;
    qint64 m_count = 0;
    qint64 m_top = 0;
    qint64 m_table = 0;
};

// ---- XML property lists ---------------------------------------------------------------------

// Deeper than any web location nests: <plist> <dict> <key>. A file nesting further is not one.
constexpr int kMaxXmlDepth = 16;

std::optional<QString> XmlTopDictionaryUrl(const QByteArray& bytes) {
    QXmlStreamReader xml(bytes);
    int depth = 0;
    bool inTopDictionary = false;
    bool topDictionarySeen = false;
    std::optional<QString> key;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (--depth == 1 && inTopDictionary)
                return std::nullopt;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (++depth > kMaxXmlDepth)
            return std::nullopt;
        const auto name = xml.name();
        if (depth == 1 && name != QLatin1String("plist"))
            return std::nullopt;
        if (depth == 2) {
            if (topDictionarySeen || name != QLatin1String("dict"))
                return std::nullopt;
            topDictionarySeen = inTopDictionary = true;
        }
        if (depth != 3 || !inTopDictionary)
            continue;
        if (name == QLatin1String("key")) {
            key = xml.readElementText();
            --depth;
            continue;
        }
        if (key == kUrlKey) {
            if (name != QLatin1String("string"))
                return std::nullopt;
            QString text = xml.readElementText();
            if (xml.hasError())
                return std::nullopt;
            return text;
        }
        key.reset();
    }
    return std::nullopt;
}

// ---- Key files (.url, .desktop) -------------------------------------------------------------

// The value of `key` in the first group named `group` of a key file; `caseSensitive` says
// whether names are compared as freedesktop's files (exactly) or Windows' (any case).
std::optional<QString> KeyFileValue(const QString& text, QLatin1String group, QLatin1String key,
                                    Qt::CaseSensitivity caseSensitive) {
    bool inGroup = false;
    bool groupSeen = false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            if (groupSeen && inGroup)
                return std::nullopt;
            inGroup = line.compare(QStringLiteral("[%1]").arg(group), caseSensitive) == 0;
            groupSeen = groupSeen || inGroup;
            continue;
        }
        if (!inGroup)
            continue;
        const auto equals = line.indexOf(u'=');
        if (equals > 0 && line.left(equals).trimmed().compare(key, caseSensitive) == 0)
            return line.mid(equals + 1).trimmed().toString();
    }
    return std::nullopt;
}

// The escapes of a desktop entry's string values.
QString DesktopEntryUnescaped(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i].unicode()) {
        case u's':
            out += u' ';
            break;
        case u'n':
            out += u'\n';
            break;
        case u't':
            out += u'\t';
            break;
        case u'r':
            out += u'\r';
            break;
        default:
            out += value[i];
            break;
        }
    }
    return out;
}

const QLatin1String kDesktopEntryGroup("Desktop Entry");

// The text of a desktop entry of Type=Link.
std::optional<QString> DesktopLinkText(const QByteArray& bytes) {
    if (bytes.size() > kMaxWebLocationFileSize)
        return std::nullopt;
    const auto text = DecodeUtf8Exactly(bytes);
    if (!text || KeyFileValue(*text, kDesktopEntryGroup, QLatin1String("Type"),
                              Qt::CaseSensitive) != QLatin1String("Link"))
        return std::nullopt;
    return text;
}

bool HasExtension(const QString& name, QLatin1String extension) {
    return QFileInfo(name).suffix().compare(extension, Qt::CaseInsensitive) == 0 &&
           name.size() > extension.size() + 1;
}

// The file's bytes, when it is a regular file itself (not a link to one) within the cap.
std::optional<QByteArray> ReadOwnBytes(const QString& path) {
    struct stat status;
    if (lstat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return ReadRegularFile(path, kMaxWebLocationFileSize);
}

} // namespace

std::optional<QString> PropertyListWebAddress(const QByteArray& bytes) {
    if (bytes.size() > kMaxWebLocationFileSize)
        return std::nullopt;
    std::optional<QString> url;
    if (bytes.startsWith("bplist")) {
        if (const auto list = BinaryPropertyList::open(bytes))
            url = list->topDictionaryUrl();
    } else {
        url = XmlTopDictionaryUrl(bytes);
    }
    return url ? WebAddress(*url) : std::nullopt;
}

std::optional<QString> InternetShortcutWebAddress(const QByteArray& bytes) {
    if (bytes.size() > kMaxWebLocationFileSize)
        return std::nullopt;
    const auto utf8 = DecodeUtf8Exactly(bytes);
    const QString text = utf8 ? *utf8 : QString::fromLatin1(bytes);
    const auto url =
        KeyFileValue(text, QLatin1String("InternetShortcut"), kUrlKey, Qt::CaseInsensitive);
    return url ? WebAddress(*url) : std::nullopt;
}

std::optional<QString> DesktopLinkWebAddress(const QByteArray& bytes) {
    const auto text = DesktopLinkText(bytes);
    if (!text)
        return std::nullopt;
    const auto url = KeyFileValue(*text, kDesktopEntryGroup, kUrlKey, Qt::CaseSensitive);
    return url ? WebAddress(DesktopEntryUnescaped(*url)) : std::nullopt;
}

bool IsInternetShortcutName(const QString& name) {
    return HasExtension(name, QLatin1String("url"));
}

bool IsDesktopEntryName(const QString& name) {
    return HasExtension(name, QLatin1String("desktop"));
}

std::optional<QString> ReadWebLocationFile(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const bool webloc = HasExtension(name, QLatin1String("webloc"));
    if (!webloc && !IsInternetShortcutName(name) && !IsDesktopEntryName(name))
        return std::nullopt;
    const auto bytes = ReadOwnBytes(path);
    if (!bytes)
        return std::nullopt;
    if (webloc)
        return PropertyListWebAddress(*bytes);
    if (IsInternetShortcutName(name))
        return InternetShortcutWebAddress(*bytes);
    return DesktopLinkWebAddress(*bytes);
}

bool IsDesktopLinkFile(const QString& path) {
    if (!IsDesktopEntryName(QFileInfo(path).fileName()))
        return false;
    const auto bytes = ReadOwnBytes(path);
    return bytes && DesktopLinkText(*bytes).has_value();
}
