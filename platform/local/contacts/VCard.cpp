#include "platform/local/contacts/VCard.h"

#include <optional>

namespace {

// Real cards hold a few dozen properties; the bound keeps crafted text from growing one card
// without end.
constexpr qsizetype kMaxPropertiesPerCard = 10000;
// RFC 6350 3.2: lines longer than this are folded, the CRLF not counted.
constexpr qsizetype kMaxLineOctets = 75;

bool isValidUtf8(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        qsizetype length = 0;
        char32_t code = 0;
        char32_t smallest = 0;
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            code = lead & 0x1F;
            smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            code = lead & 0x0F;
            smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            code = lead & 0x07;
            smallest = 0x10000;
        } else {
            return false;
        }
        if (end - p < length)
            return false;
        for (qsizetype i = 1; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        // Overlong forms, surrogates and code points past Unicode are invalid as well.
        if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += length;
    }
    return true;
}

// RFC 6350 allows letters, digits and '-' in names; '_' is accepted as well because some
// tools write it in their X- names, and keeping their cards costs nothing.
bool isValidName(QByteArrayView name) {
    if (name.isEmpty())
        return false;
    for (const char c : name) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!letter && !(c >= '0' && c <= '9') && c != '-' && c != '_')
            return false;
    }
    return true;
}

// A parameter value that reads back as written: quotes balanced, no line break, and no ';' or
// ':' outside quotes.
bool isValidParameterValue(QByteArrayView value) {
    bool quoted = false;
    for (const char c : value) {
        if (c == '\r' || c == '\n')
            return false;
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == ';' || c == ':'))
            return false;
    }
    return !quoted;
}

bool isTextProperty(const QByteArray& name) {
    return name == "FN" || name == "KIND" || name == "EMAIL";
}

std::optional<VCardProperty> parseContentLine(QByteArrayView line) {
    const qsizetype size = line.size();
    qsizetype pos = 0;
    while (pos < size && line[pos] != ';' && line[pos] != ':')
        ++pos;
    if (pos == size)
        return std::nullopt;
    VCardProperty property;
    QByteArrayView name = line.first(pos);
    if (const qsizetype dot = name.indexOf('.'); dot >= 0) {
        if (!isValidName(name.first(dot)))
            return std::nullopt;
        property.group = name.first(dot).toByteArray();
        name = name.sliced(dot + 1);
    }
    if (!isValidName(name))
        return std::nullopt;
    property.name = name.toByteArray().toUpper();
    while (line[pos] == ';') {
        const qsizetype nameStart = ++pos;
        while (pos < size && line[pos] != '=' && line[pos] != ';' && line[pos] != ':')
            ++pos;
        if (pos == size)
            return std::nullopt;
        const QByteArrayView parameterName = line.sliced(nameStart, pos - nameStart);
        if (!isValidName(parameterName))
            return std::nullopt;
        QByteArrayView parameterValue;
        if (line[pos] == '=') {
            const qsizetype valueStart = ++pos;
            bool quoted = false;
            while (pos < size && (quoted || (line[pos] != ';' && line[pos] != ':'))) {
                if (line[pos] == '"')
                    quoted = !quoted;
                ++pos;
            }
            if (pos == size)
                return std::nullopt;
            parameterValue = line.sliced(valueStart, pos - valueStart);
        }
        property.parameters.append({parameterName.toByteArray(), parameterValue.toByteArray()});
    }
    property.raw = line.sliced(pos + 1).toByteArray();
    property.value = isTextProperty(property.name) ? UnescapeText(property.raw)
                                                   : QString::fromUtf8(property.raw);
    return property;
}

// The lines of `text` with folding undone and line ends removed.
std::vector<QByteArray> unfoldedLines(QByteArrayView text) {
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    std::vector<QByteArray> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        QByteArrayView line = text.sliced(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        if (!lines.empty() && (line.startsWith(' ') || line.startsWith('\t')))
            lines.back() += line.sliced(1);
        else
            lines.push_back(line.toByteArray());
        start = end + 1;
    }
    return lines;
}

bool isVCardMarker(const std::optional<VCardProperty>& property, const char* name) {
    return property && property->name == name &&
           property->raw.compare("VCARD", Qt::CaseInsensitive) == 0;
}

QByteArray folded(QByteArrayView line) {
    QByteArray out;
    out.reserve(line.size() + line.size() / (kMaxLineOctets - 1) * 3 + 2);
    qsizetype limit = kMaxLineOctets;
    while (line.size() > limit) {
        qsizetype cut = limit;
        // Back off to the first byte of the character the limit falls in.
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        if (cut == 0)
            cut = limit;
        out += line.first(cut);
        out += "\r\n ";
        line = line.sliced(cut);
        limit = kMaxLineOctets - 1; // the space that marks a continuation counts
    }
    out += line;
    out += "\r\n";
    return out;
}

} // namespace

std::vector<VCard> ParseVCards(const QByteArray& text, int* skipped) {
    enum class State { Outside, InCard, Damaged };
    State state = State::Outside;
    std::vector<VCard> cards;
    VCard current;
    int damaged = 0;
    int depth = 0;       // BEGIN:VCARD lines inside a damaged card not yet closed
    bool inJunk = false; // within a run of text outside any card, counted once
    for (const QByteArray& line : unfoldedLines(text)) {
        if (line.isEmpty())
            continue;
        std::optional<VCardProperty> property = parseContentLine(line);
        const bool begin = isVCardMarker(property, "BEGIN");
        const bool end = isVCardMarker(property, "END");
        switch (state) {
        case State::Outside:
            if (begin) {
                state = State::InCard;
                current = VCard();
                inJunk = false;
            } else if (!inJunk) {
                ++damaged;
                inJunk = true;
            }
            break;
        case State::InCard:
            if (end) {
                cards.push_back(std::move(current));
                state = State::Outside;
            } else if (!property || property->name == "BEGIN" || property->name == "END" ||
                       !isValidUtf8(line) ||
                       qsizetype(current.properties.size()) >= kMaxPropertiesPerCard) {
                state = State::Damaged;
                depth = begin ? 1 : 0;
            } else {
                current.properties.push_back(std::move(*property));
            }
            break;
        case State::Damaged:
            if (begin) {
                ++depth;
            } else if (end && depth-- == 0) {
                ++damaged;
                state = State::Outside;
            }
            break;
        }
    }
    if (state != State::Outside)
        ++damaged;
    if (skipped)
        *skipped = damaged;
    return cards;
}

QByteArray WriteVCard(const VCard& card) {
    QByteArray out = "BEGIN:VCARD\r\nVERSION:4.0\r\n";
    for (const VCardProperty& property : card.properties) {
        const QByteArrayView name = property.name;
        if (name.compare("VERSION", Qt::CaseInsensitive) == 0 ||
            name.compare("BEGIN", Qt::CaseInsensitive) == 0 ||
            name.compare("END", Qt::CaseInsensitive) == 0)
            continue;
        if ((!property.group.isEmpty() && !isValidName(property.group)) || !isValidName(name) ||
            property.raw.contains('\r') || property.raw.contains('\n'))
            return QByteArray();
        QByteArray line;
        if (!property.group.isEmpty())
            line += property.group + '.';
        line += name;
        for (const auto& [parameterName, parameterValue] : property.parameters) {
            if (!isValidName(parameterName) || !isValidParameterValue(parameterValue))
                return QByteArray();
            line += ';' + parameterName;
            if (!parameterValue.isEmpty())
                line += '=' + parameterValue;
        }
        line += ':' + property.raw;
        out += folded(line);
    }
    out += "END:VCARD\r\n";
    return out;
}

QString UnescapeText(QByteArrayView raw) {
    QByteArray bytes;
    bytes.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c != '\\' || i + 1 == raw.size()) {
            bytes += c;
            continue;
        }
        const char next = raw[i + 1];
        if (next == 'n' || next == 'N') {
            bytes += '\n';
            ++i;
        } else if (next == ',' || next == ';' || next == '\\') {
            bytes += next;
            ++i;
        } else {
            bytes += c;
        }
    }
    return QString::fromUtf8(bytes);
}

QByteArray EscapeText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            out += QStringLiteral("\\n");
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else if (c == u'\\' || c == u',' || c == u';') {
            out += u'\\';
            out += c;
        } else {
            out += c;
        }
    }
    return out.toUtf8();
}

QStringList SplitComponents(QByteArrayView raw) {
    QStringList components;
    qsizetype start = 0;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\') {
            ++i;
        } else if (raw[i] == ';') {
            components.append(UnescapeText(raw.sliced(start, i - start)));
            start = i + 1;
        }
    }
    components.append(UnescapeText(raw.sliced(start)));
    return components;
}
