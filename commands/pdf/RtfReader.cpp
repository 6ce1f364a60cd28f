// Reads RTF into a QTextDocument: enough of it to print a document the way its writer showed it.
//
// What is read
//   text, with \'hh bytes and 8-bit text decoded in the code page of the font in use
//   (\fcharsetN, \cpgN) or else of the document (\ansicpgN, \ansi, \mac, \pc, \pca), and \uN
//   with its \ucN fallback characters skipped;
//   the font table (family names, character sets) and the colour table;
//   character formatting, restored when its group closes: \fN, \fsN, \b, \i, \ul, \strike,
//   \cfN, \plain;
//   paragraphs: \par, \line, \tab, \page, \pard and the alignments \ql \qc \qr \qj; table cells
//   become tabs and rows paragraphs; \emdash, \lquote and the other typographic symbols.
//
// What is skipped, with every group inside it
//   \* destinations; the style sheet, \info, pictures, objects, headers, footers, footnotes,
//   annotations, bookmarks, index entries, field instructions (a field's result is shown), and
//   the theme, list, revision and XML tables Word writes. \binN data is stepped over. Any other
//   control word is ignored.
//
// Bounds: the constants below, and \binN, which steps over at most the bytes that are left.
// Everything else the reader keeps grows with the text it reads.
#include "commands/pdf/RtfReader.h"

#include <QColor>
#include <QStringDecoder>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>
#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// RTF's own control words are at most 32 letters. A longer one is read to its end, but only this
// much of its name is kept, so a megabyte of letters costs nothing.
constexpr std::size_t kMaxControlWordLetters = 32;

// An int has at most 10 digits. Past them a parameter's digits are still read but only saturate
// its value, so no parameter can overflow.
constexpr int kMaxParameterDigits = 10;

// Documents nest a few dozen groups deep. Groups deeper than this share the deepest state (their
// braces are still counted), so the state stack stays small however deep the nesting goes.
constexpr std::size_t kMaxGroupDepth = 256;

// More fonts or colours than any writer produces. A damaged table that repeats ';' cannot make
// the tables many times larger than the file.
constexpr std::size_t kMaxTableEntries = 16384;

// \fsN counts half-points. Word's sizes run from 1 to 1638 points; a size outside them is
// brought inside, so that laying out a page never meets a font of a billion points.
constexpr int kMinHalfPoints = 2;
constexpr int kMaxHalfPoints = 3276;
constexpr int kDefaultHalfPoints = 24;

constexpr int kDefaultCodePage = 1252;
constexpr char16_t kReplacement = 0xFFFD;

struct Token {
    enum class Kind { End, GroupOpen, GroupClose, Word, Symbol, HexByte, Text };
    explicit Token(Kind kind = Kind::End) : kind(kind) {}

    Kind kind;
    std::string_view text; // a word's name, or a run of plain text
    int parameter = 0;
    bool hasParameter = false;
    char byte = 0; // a symbol's character, or a \'hh byte
};

bool IsLetter(char c) {
    return unsigned((c | 0x20) - 'a') < 26;
}

bool IsDigit(char c) {
    return unsigned(c - '0') < 10;
}

int HexValue(char c) {
    if (IsDigit(c))
        return c - '0';
    if (unsigned((c | 0x20) - 'a') < 6)
        return (c | 0x20) - 'a' + 10;
    return -1;
}

// Splits RTF into tokens. CR and LF between tokens mean nothing and are dropped; \binN data is
// stepped over here, so that its bytes are never read as braces or text.
class Lexer {
public:
    explicit Lexer(std::string_view bytes) : m_bytes(bytes) {}

    Token next() {
        while (m_pos < m_bytes.size()) {
            switch (m_bytes[m_pos]) {
            case '{':
                ++m_pos;
                return Token(Token::Kind::GroupOpen);
            case '}':
                ++m_pos;
                return Token(Token::Kind::GroupClose);
            case '\\':
                ++m_pos;
                return escape();
            case '\r':
            case '\n':
                ++m_pos;
                continue;
            default:
                return text();
            }
        }
        return Token();
    }

private:
    Token text() {
        const std::size_t start = m_pos;
        while (m_pos < m_bytes.size() &&
               std::string_view("{}\\\r\n").find(m_bytes[m_pos]) == std::string_view::npos)
            ++m_pos;
        Token token(Token::Kind::Text);
        token.text = m_bytes.substr(start, m_pos - start);
        return token;
    }

    Token escape() {
        if (m_pos >= m_bytes.size())
            return Token();
        const char c = m_bytes[m_pos];
        if (IsLetter(c))
            return word();
        ++m_pos;
        if (c == '\'') {
            int value = 0;
            int digits = 0;
            for (; digits < 2 && m_pos < m_bytes.size(); ++digits, ++m_pos) {
                const int digit = HexValue(m_bytes[m_pos]);
                if (digit < 0)
                    break;
                value = value * 16 + digit;
            }
            if (digits > 0) {
                Token token(Token::Kind::HexByte);
                token.byte = char(value);
                return token;
            }
        }
        Token token(Token::Kind::Symbol);
        // A backslash before a line end stands for \par.
        token.byte = c == '\r' ? '\n' : c;
        return token;
    }

    Token word() {
        Token token(Token::Kind::Word);
        const std::size_t start = m_pos;
        while (m_pos < m_bytes.size() && IsLetter(m_bytes[m_pos]))
            ++m_pos;
        token.text = m_bytes.substr(start, std::min(m_pos - start, kMaxControlWordLetters));
        const bool negative =
            m_pos + 1 < m_bytes.size() && m_bytes[m_pos] == '-' && IsDigit(m_bytes[m_pos + 1]);
        if (negative)
            ++m_pos;
        if (m_pos < m_bytes.size() && IsDigit(m_bytes[m_pos])) {
            std::int64_t magnitude = 0;
            for (int digits = 0; m_pos < m_bytes.size() && IsDigit(m_bytes[m_pos]);
                 ++digits, ++m_pos) {
                if (digits < kMaxParameterDigits)
                    magnitude = magnitude * 10 + (m_bytes[m_pos] - '0');
                else
                    magnitude = std::int64_t(INT_MAX) + 1;
            }
            token.parameter =
                int(std::clamp<std::int64_t>(negative ? -magnitude : magnitude, INT_MIN, INT_MAX));
            token.hasParameter = true;
        }
        if (m_pos < m_bytes.size() && m_bytes[m_pos] == ' ')
            ++m_pos;
        if (token.text == "bin" && token.parameter > 0)
            m_pos += std::min(std::size_t(token.parameter), m_bytes.size() - m_pos);
        return token;
    }

    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

enum class Word {
    SkipDestination,
    FontTable,
    ColorTable,
    Character, // a symbol word: the entry's character
    Paragraph,
    Page,
    Unicode,
    FallbackLength,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Plain,
    Font,
    FontSize,
    Color,
    ParagraphDefaults,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    FontCharset,
    FontCodePage,
    Red,
    Green,
    Blue,
};

struct WordEntry {
    Word word;
    char16_t character = 0;
};

// Destinations whose text is not part of the document's body, or is not text at all.
constexpr std::string_view kSkippedDestinations =
    "aftncn aftnsep aftnsepc annotation bkmkend bkmkstart colorschememapping datastore "
    "do docvar fldinst filetbl footer footerf footerl footerr footnote ftncn ftnsep "
    "ftnsepc generator header headerf headerl headerr info latentstyles "
    "listoverridetable listtable mmathPr nonshppict object pgdsctbl pict private revtbl "
    "rsidtbl rxe stylesheet tc template themedata txe userprops xe xmlnstbl";

const WordEntry* LookUp(std::string_view name) {
    static const std::unordered_map<std::string_view, WordEntry> words = [] {
        std::unordered_map<std::string_view, WordEntry> table{
            {"fonttbl", {Word::FontTable}},
            {"colortbl", {Word::ColorTable}},
            {"par", {Word::Paragraph}},
            {"sect", {Word::Paragraph}},
            {"row", {Word::Paragraph}},
            {"page", {Word::Page}},
            {"line", {Word::Character, 0x2028}},
            {"tab", {Word::Character, u'\t'}},
            {"cell", {Word::Character, u'\t'}},
            {"nestcell", {Word::Character, u'\t'}},
            {"emdash", {Word::Character, 0x2014}},
            {"endash", {Word::Character, 0x2013}},
            {"emspace", {Word::Character, 0x2003}},
            {"enspace", {Word::Character, 0x2002}},
            {"qmspace", {Word::Character, 0x2005}},
            {"bullet", {Word::Character, 0x2022}},
            {"lquote", {Word::Character, 0x2018}},
            {"rquote", {Word::Character, 0x2019}},
            {"ldblquote", {Word::Character, 0x201C}},
            {"rdblquote", {Word::Character, 0x201D}},
            {"zwj", {Word::Character, 0x200D}},
            {"zwnj", {Word::Character, 0x200C}},
            {"ltrmark", {Word::Character, 0x200E}},
            {"rtlmark", {Word::Character, 0x200F}},
            {"u", {Word::Unicode}},
            {"uc", {Word::FallbackLength}},
            {"b", {Word::Bold}},
            {"i", {Word::Italic}},
            {"ul", {Word::Underline}},
            {"uld", {Word::Underline}},
            {"uldash", {Word::Underline}},
            {"uldb", {Word::Underline}},
            {"ulth", {Word::Underline}},
            {"ulw", {Word::Underline}},
            {"ulwave", {Word::Underline}},
            {"ulnone", {Word::UnderlineNone}},
            {"strike", {Word::Strike}},
            {"striked", {Word::Strike}},
            {"plain", {Word::Plain}},
            {"f", {Word::Font}},
            {"fs", {Word::FontSize}},
            {"cf", {Word::Color}},
            {"pard", {Word::ParagraphDefaults}},
            {"ql", {Word::AlignLeft}},
            {"qc", {Word::AlignCenter}},
            {"qr", {Word::AlignRight}},
            {"qj", {Word::AlignJustify}},
            {"ansi", {Word::Ansi}},
            {"mac", {Word::Mac}},
            {"pc", {Word::Pc}},
            {"pca", {Word::Pca}},
            {"ansicpg", {Word::AnsiCodePage}},
            {"deff", {Word::DefaultFont}},
            {"fcharset", {Word::FontCharset}},
            {"cpg", {Word::FontCodePage}},
            {"red", {Word::Red}},
            {"green", {Word::Green}},
            {"blue", {Word::Blue}},
        };
        for (std::size_t start = 0; start < kSkippedDestinations.size();) {
            const std::size_t end =
                std::min(kSkippedDestinations.find(' ', start), kSkippedDestinations.size());
            table.emplace(kSkippedDestinations.substr(start, end - start),
                          WordEntry{Word::SkipDestination});
            start = end + 1;
        }
        return table;
    }();
    const auto found = words.find(name);
    return found == words.end() ? nullptr : &found->second;
}

// The code pages of the \fcharsetN character sets that name one. The default and symbol sets do
// not: their text is in the document's code page.
constexpr std::pair<int, int> kCharsetCodePages[] = {
    {0, 1252},   {77, 10000}, {128, 932},  {129, 949},  {134, 936},
    {136, 950},  {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255},
    {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}};

// The code pages Qt's decoders know by these names. Any other code page is read as 1252, so
// that a file naming thousands of code pages still makes at most one decoder each of these.
constexpr std::pair<int, const char*> kEncodings[] = {
    {437, "IBM437"},        {850, "IBM850"},        {852, "IBM852"},        {866, "IBM866"},
    {874, "windows-874"},   {932, "Shift_JIS"},     {936, "GBK"},           {949, "EUC-KR"},
    {950, "Big5"},          {1250, "windows-1250"}, {1251, "windows-1251"}, {1252, "windows-1252"},
    {1253, "windows-1253"}, {1254, "windows-1254"}, {1255, "windows-1255"}, {1256, "windows-1256"},
    {1257, "windows-1257"}, {1258, "windows-1258"}, {10000, "macintosh"}};

int CodePageOfCharset(int charset) {
    for (const auto& [set, codePage] : kCharsetCodePages) {
        if (set == charset)
            return codePage;
    }
    return 0;
}

// Where the code page is in kEncodings; where 1252 is for a code page not there.
std::size_t EncodingIndex(int codePage) {
    const auto entryOf = [](int wanted) {
        return [wanted](const auto& entry) { return entry.first == wanted; };
    };
    auto found = std::find_if(std::begin(kEncodings), std::end(kEncodings), entryOf(codePage));
    if (found == std::end(kEncodings))
        found =
            std::find_if(std::begin(kEncodings), std::end(kEncodings), entryOf(kDefaultCodePage));
    return std::size_t(found - std::begin(kEncodings));
}

enum class Destination { Text, FontTable, ColorTable, Skip };

struct CharState {
    int font = -1; // -1: the document's default font
    int halfPoints = kDefaultHalfPoints;
    int color = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;

    bool operator==(const CharState&) const = default;
};

struct GroupState {
    Destination destination = Destination::Text;
    CharState chars;
    Qt::Alignment alignment = Qt::AlignLeft;
    int fallbackLength = 1;
};

struct Font {
    QString family;
    int codePage = 0; // 0: the document's
};

class Reader {
public:
    Reader(std::string_view rtf, QTextDocument* document) : m_lexer(rtf), m_cursor(document) {
        m_groups.reserve(kMaxGroupDepth);
        m_groups.emplace_back();
    }

    void read() {
        m_cursor.beginEditBlock();
        for (Token token = m_lexer.next(); token.kind != Token::Kind::End; token = m_lexer.next()) {
            switch (token.kind) {
            case Token::Kind::GroupOpen:
                openGroup();
                break;
            case Token::Kind::GroupClose:
                closeGroup();
                break;
            case Token::Kind::Text:
                text(token.text);
                break;
            default:
                if (state().destination == Destination::Skip)
                    break;
                if (state().destination == Destination::Text && m_fallbackLeft > 0) {
                    --m_fallbackLeft;
                    break;
                }
                if (token.kind == Token::Kind::Word)
                    word(token);
                else if (token.kind == Token::Kind::Symbol)
                    symbol(token.byte);
                else
                    hexByte(token.byte);
            }
        }
        flushRun();
        if (!m_breakPending)
            finishBlock(m_blockAlignment);
        m_cursor.endEditBlock();
    }

private:
    GroupState& state() { return m_groups.back(); }
    const CharState& chars() { return m_groups.back().chars; }

    void openGroup() {
        m_fallbackLeft = 0;
        if (m_groups.size() < kMaxGroupDepth)
            m_groups.push_back(m_groups.back());
        else
            ++m_groupsPastLimit;
    }

    void closeGroup() {
        m_fallbackLeft = 0;
        if (m_groupsPastLimit > 0) {
            --m_groupsPastLimit;
            return;
        }
        if (m_groups.size() == 1)
            return;
        if (state().destination == Destination::FontTable)
            finishFont();
        m_groups.pop_back();
    }

    void text(std::string_view bytes) {
        switch (state().destination) {
        case Destination::Text:
            for (const char byte : bytes) {
                if (m_fallbackLeft > 0)
                    --m_fallbackLeft;
                else
                    textByte(byte);
            }
            break;
        case Destination::FontTable:
            for (const char byte : bytes) {
                if (byte == ';')
                    finishFont();
                else
                    fontNameByte(byte);
            }
            break;
        case Destination::ColorTable:
            for (const char byte : bytes) {
                if (byte == ';')
                    finishColor();
            }
            break;
        case Destination::Skip:
            break;
        }
    }

    // Other control characters in the text are stray; a tab is one.
    void textByte(char byte) {
        if (byte == '\t')
            appendUnit(u'\t');
        else if (uchar(byte) >= 0x20)
            appendByte(byte);
    }

    void hexByte(char byte) {
        if (state().destination == Destination::Text)
            textByte(byte);
        else if (state().destination == Destination::FontTable)
            fontNameByte(byte);
    }

    void fontNameByte(char byte) {
        if (m_fontOpen && uchar(byte) >= 0x20)
            m_fontName.append(byte);
    }

    void symbol(char c) {
        switch (c) {
        case '*':
            state().destination = Destination::Skip;
            return;
        case '\\':
        case '{':
        case '}':
            if (state().destination == Destination::Text)
                appendByte(c);
            return;
        case '~':
            appendCharacter(0x00A0);
            return;
        case '_':
            appendCharacter(0x2011);
            return;
        case '\n':
            if (state().destination == Destination::Text)
                breakParagraph();
            return;
        default:
            return;
        }
    }

    void appendCharacter(char16_t character) {
        if (state().destination == Destination::Text)
            appendUnit(character);
    }

    void word(const Token& token) {
        const WordEntry* entry = LookUp(token.text);
        if (!entry)
            return;
        const int parameter = token.parameter;
        const bool on = !token.hasParameter || parameter != 0;
        GroupState& group = state();
        switch (entry->word) {
        case Word::SkipDestination:
            group.destination = Destination::Skip;
            return;
        case Word::FontTable:
            group.destination = Destination::FontTable;
            return;
        case Word::ColorTable:
            group.destination = Destination::ColorTable;
            return;
        case Word::Ansi:
            m_codePage = kDefaultCodePage;
            return;
        case Word::Mac:
            m_codePage = 10000;
            return;
        case Word::Pc:
            m_codePage = 437;
            return;
        case Word::Pca:
            m_codePage = 850;
            return;
        case Word::AnsiCodePage:
            if (token.hasParameter)
                m_codePage = parameter;
            return;
        case Word::DefaultFont:
            if (token.hasParameter)
                m_defaultFont = parameter;
            return;
        default:
            break;
        }
        if (group.destination == Destination::FontTable)
            fontTableWord(entry->word, token);
        else if (group.destination == Destination::ColorTable)
            colorTableWord(entry->word, parameter);
        else
            textWord(*entry, token, on);
    }

    void fontTableWord(Word word, const Token& token) {
        if (!token.hasParameter)
            return;
        if (word == Word::Font) {
            finishFont();
            m_fontOpen = true;
            m_fontNumber = token.parameter;
            m_fontCharset = -1;
            m_fontCodePage = 0;
        } else if (word == Word::FontCharset) {
            m_fontCharset = token.parameter;
        } else if (word == Word::FontCodePage) {
            m_fontCodePage = token.parameter;
        }
    }

    void colorTableWord(Word word, int parameter) {
        const int value = std::clamp(parameter, 0, 255);
        if (word == Word::Red)
            m_color.setRed(value);
        else if (word == Word::Green)
            m_color.setGreen(value);
        else if (word == Word::Blue)
            m_color.setBlue(value);
        else
            return;
        m_colorGiven = true;
    }

    void textWord(const WordEntry& entry, const Token& token, bool on) {
        GroupState& group = state();
        CharState& chars = group.chars;
        switch (entry.word) {
        case Word::Character:
            appendUnit(entry.character);
            break;
        case Word::Paragraph:
            breakParagraph();
            break;
        case Word::Page:
            breakParagraph();
            m_breakBefore = true;
            break;
        case Word::Unicode:
            if (token.hasParameter) {
                appendUnicode(token.parameter);
                m_fallbackLeft = group.fallbackLength;
            }
            break;
        case Word::FallbackLength:
            group.fallbackLength = std::max(token.parameter, 0);
            break;
        case Word::Bold:
            chars.bold = on;
            break;
        case Word::Italic:
            chars.italic = on;
            break;
        case Word::Underline:
            chars.underline = on;
            break;
        case Word::UnderlineNone:
            chars.underline = false;
            break;
        case Word::Strike:
            chars.strike = on;
            break;
        case Word::Plain:
            chars = CharState();
            break;
        case Word::Font:
            if (token.hasParameter)
                chars.font = token.parameter;
            break;
        case Word::FontSize:
            chars.halfPoints = token.hasParameter
                                   ? std::clamp(token.parameter, kMinHalfPoints, kMaxHalfPoints)
                                   : kDefaultHalfPoints;
            break;
        case Word::Color:
            chars.color = token.parameter;
            break;
        case Word::ParagraphDefaults: // alignment is the one paragraph property kept
        case Word::AlignLeft:
            group.alignment = Qt::AlignLeft;
            break;
        case Word::AlignCenter:
            group.alignment = Qt::AlignHCenter;
            break;
        case Word::AlignRight:
            group.alignment = Qt::AlignRight;
            break;
        case Word::AlignJustify:
            group.alignment = Qt::AlignJustify;
            break;
        default:
            break;
        }
    }

    void finishFont() {
        if (!m_fontOpen)
            return;
        m_fontOpen = false;
        const int codePage = m_fontCodePage > 0 ? m_fontCodePage : CodePageOfCharset(m_fontCharset);
        if (m_fonts.size() < kMaxTableEntries || m_fonts.count(m_fontNumber))
            m_fonts[m_fontNumber] =
                Font{decode(m_fontName, codePage > 0 ? codePage : m_codePage).trimmed(), codePage};
        m_fontName.clear();
    }

    // An entry without a colour is the "auto" colour, usually the first.
    void finishColor() {
        if (m_colors.size() < kMaxTableEntries)
            m_colors.push_back(m_colorGiven ? m_color : QColor());
        m_color = QColor(0, 0, 0);
        m_colorGiven = false;
    }

    const Font* fontOf(const CharState& chars) const {
        const auto found = m_fonts.find(chars.font >= 0 ? chars.font : m_defaultFont);
        return found == m_fonts.end() ? nullptr : &found->second;
    }

    int codePageOf(const CharState& chars) const {
        const Font* font = fontOf(chars);
        return font && font->codePage > 0 ? font->codePage : m_codePage;
    }

    QTextCharFormat charFormat(const CharState& chars) const {
        QTextCharFormat format;
        if (const Font* font = fontOf(chars); font && !font->family.isEmpty())
            format.setFontFamilies({font->family});
        format.setFontPointSize(chars.halfPoints / 2.0);
        format.setFontWeight(chars.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(chars.italic);
        format.setFontUnderline(chars.underline);
        format.setFontStrikeOut(chars.strike);
        if (chars.color >= 0 && std::size_t(chars.color) < m_colors.size() &&
            m_colors[std::size_t(chars.color)].isValid())
            format.setForeground(m_colors[std::size_t(chars.color)]);
        return format;
    }

    // Byte runs of one code page are decoded whole, so that a double-byte character split across
    // \'hh escapes and plain text comes out as one.
    QString decode(const QByteArray& bytes, int codePage) {
        std::size_t index = EncodingIndex(codePage);
        if (!decoderAt(index).isValid())
            index = EncodingIndex(kDefaultCodePage);
        QStringDecoder& decoder = decoderAt(index);
        // Qt built without ICU knows no Windows code page; Latin-1 differs from 1252 only in the
        // punctuation of 0x80 to 0x9F.
        if (!decoder.isValid())
            return QString::fromLatin1(bytes);
        QString text = decoder.decode(bytes);
        // ICU gives U+001A for bytes the code page does not map; the bytes themselves hold no
        // control characters, which were dropped before.
        text.replace(QChar(0x1A), QChar(kReplacement));
        // The run ended inside a double-byte character. Resetting the decoder's state keeps the
        // error, so the decoder is made anew.
        if (decoder.hasError()) {
            text.append(QChar(kReplacement));
            m_decoders[index].reset();
        }
        return text;
    }

    QStringDecoder& decoderAt(std::size_t index) {
        std::optional<QStringDecoder>& decoder = m_decoders[index];
        if (!decoder)
            decoder.emplace(kEncodings[index].second, QStringConverter::Flag::Stateless);
        return *decoder;
    }

    // Starts output in the current state: realizes a pending paragraph break, and ends the run
    // when the character format changed.
    void beginOutput() {
        if (m_breakPending) {
            m_cursor.insertBlock(QTextBlockFormat(), charFormat(chars()));
            m_breakPending = false;
        }
        if (chars() != m_runChars) {
            flushRun();
            m_runChars = chars();
        }
        m_blockAlignment = state().alignment;
    }

    void appendByte(char byte) {
        beginOutput();
        if (m_highSurrogate) {
            m_runText.append(QChar(kReplacement));
            m_highSurrogate = 0;
        }
        const int codePage = codePageOf(m_runChars);
        if (codePage != m_runCodePage)
            decodeBytes();
        m_runCodePage = codePage;
        m_runBytes.append(byte);
    }

    void appendUnicode(int value) {
        if (value < 0)
            value += 65536;
        if (value == 0)
            return;
        // Control characters would split blocks or mean nothing; the 0xFDD0 block holds Qt's own
        // frame markers.
        if (value > 0xFFFF || (value < 0x20 && value != '\t') ||
            (value >= 0xFDD0 && value <= 0xFDEF))
            value = kReplacement;
        appendUnit(char16_t(value));
    }

    void appendUnit(char16_t unit) {
        beginOutput();
        decodeBytes();
        if (QChar::isLowSurrogate(unit) && m_highSurrogate) {
            m_runText.append(QChar(m_highSurrogate));
            m_runText.append(QChar(unit));
            m_highSurrogate = 0;
            return;
        }
        if (m_highSurrogate)
            m_runText.append(QChar(kReplacement));
        m_highSurrogate = 0;
        if (QChar::isHighSurrogate(unit))
            m_highSurrogate = unit;
        else
            m_runText.append(QChar(QChar::isLowSurrogate(unit) ? kReplacement : unit));
    }

    void decodeBytes() {
        if (m_runBytes.isEmpty())
            return;
        m_runText.append(decode(m_runBytes, m_runCodePage));
        m_runBytes.clear();
    }

    void flushRun() {
        decodeBytes();
        if (m_highSurrogate)
            m_runText.append(QChar(kReplacement));
        m_highSurrogate = 0;
        if (m_runText.isEmpty())
            return;
        m_cursor.insertText(m_runText, charFormat(m_runChars));
        m_runText.clear();
    }

    // The paragraph's break is made only when something follows it, so that the \par ending a
    // document leaves no empty paragraph behind.
    void breakParagraph() {
        flushRun();
        if (m_breakPending)
            m_cursor.insertBlock(QTextBlockFormat(), charFormat(chars()));
        finishBlock(state().alignment);
        m_breakPending = true;
    }

    void finishBlock(Qt::Alignment alignment) {
        QTextBlockFormat format;
        format.setAlignment(alignment);
        if (m_breakBefore)
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        m_cursor.setBlockFormat(format);
        m_breakBefore = false;
    }

    Lexer m_lexer;
    QTextCursor m_cursor;
    std::vector<GroupState> m_groups;
    std::size_t m_groupsPastLimit = 0;
    int m_fallbackLeft = 0;

    int m_codePage = kDefaultCodePage;
    int m_defaultFont = -1;
    std::map<int, Font> m_fonts;
    std::optional<QStringDecoder> m_decoders[std::size(kEncodings)];
    bool m_fontOpen = false;
    int m_fontNumber = 0;
    int m_fontCharset = -1;
    int m_fontCodePage = 0;
    QByteArray m_fontName;
    std::vector<QColor> m_colors;
    QColor m_color{0, 0, 0};
    bool m_colorGiven = false;

    // The run: text of one character format not yet inserted, its undecoded bytes last.
    CharState m_runChars;
    QString m_runText;
    QByteArray m_runBytes;
    int m_runCodePage = kDefaultCodePage;
    char16_t m_highSurrogate = 0;

    bool m_breakPending = false;
    bool m_breakBefore = false;
    Qt::Alignment m_blockAlignment = Qt::AlignLeft;
};

} // namespace

bool ReadRtfDocument(const QByteArray& rtf, QTextDocument* document) {
    qsizetype start = 0;
    while (start < rtf.size() &&
           std::string_view(" \t\r\n\f\v").find(rtf[start]) != std::string_view::npos)
        ++start;
    const std::string_view bytes(rtf.constData() + start, std::size_t(rtf.size() - start));
    if (!bytes.starts_with("{\\rtf"))
        return false;
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    Reader(bytes, document).read();
    document->setUndoRedoEnabled(undo);
    return true;
}
