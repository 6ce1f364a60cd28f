#include "commands/pdf/HtmlText.h"

#include <QLatin1StringView>
#include <QTextDocument>
#include <algorithm>
#include <initializer_list>
#include <span>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

bool IsOneOf(QStringView name, std::initializer_list<QLatin1StringView> names) {
    return std::any_of(names.begin(), names.end(), [name](QLatin1StringView candidate) {
        return name.compare(candidate, Qt::CaseInsensitive) == 0;
    });
}

// The elements Qt's reader never lets hold others.
bool HoldsNothing(QStringView name) {
    return IsOneOf(name, {"img"_L1, "hr"_L1, "br"_L1, "meta"_L1});
}

// Where Qt's reader puts an element that may only stand in certain others: a cell into the
// nearest row, a row into the nearest table or table section, a section into the nearest table,
// a term or definition into the nearest definition list (a definition also after its term).
std::span<const QLatin1StringView> ParentsOf(QStringView name) {
    static constexpr QLatin1StringView kRows[] = {"tr"_L1};
    static constexpr QLatin1StringView kTables[] = {"table"_L1, "thead"_L1, "tbody"_L1, "tfoot"_L1};
    static constexpr QLatin1StringView kTable[] = {"table"_L1};
    static constexpr QLatin1StringView kLists[] = {"dl"_L1};
    static constexpr QLatin1StringView kTerms[] = {"dl"_L1, "dt"_L1};
    if (IsOneOf(name, {"td"_L1, "th"_L1}))
        return kRows;
    if (IsOneOf(name, {"tr"_L1}))
        return kTables;
    if (IsOneOf(name, {"thead"_L1, "tbody"_L1, "tfoot"_L1, "caption"_L1}))
        return kTable;
    if (IsOneOf(name, {"dt"_L1}))
        return kLists;
    if (IsOneOf(name, {"dd"_L1}))
        return kTerms;
    return {};
}

// Elements Qt lays out in the line, which a new paragraph closes.
bool IsInline(QStringView name) {
    return IsOneOf(name, {"a"_L1,   "abbr"_L1, "b"_L1,     "big"_L1,  "cite"_L1,   "code"_L1,
                          "em"_L1,  "font"_L1, "i"_L1,     "kbd"_L1,  "nobr"_L1,   "q"_L1,
                          "s"_L1,   "samp"_L1, "small"_L1, "span"_L1, "strike"_L1, "strong"_L1,
                          "sub"_L1, "sup"_L1,  "tt"_L1,    "u"_L1,    "var"_L1});
}

bool BreaksLine(QStringView name) {
    return IsOneOf(name, {"p"_L1,          "div"_L1, "br"_L1,      "li"_L1,    "tr"_L1, "table"_L1,
                          "h1"_L1,         "h2"_L1,  "h3"_L1,      "h4"_L1,    "h5"_L1, "h6"_L1,
                          "blockquote"_L1, "pre"_L1, "ul"_L1,      "ol"_L1,    "dl"_L1, "dt"_L1,
                          "dd"_L1,         "hr"_L1,  "address"_L1, "center"_L1});
}

struct Tag {
    QStringView name;
    bool closing = false;
    bool closed = false; // "/" before its ">": holds nothing
};

// The page as text runs and tags, in order, cut where Qt's reader cuts it: every '<' opens a
// tag, whatever follows it; a tag's name and attribute values may be quoted, and a quote runs to
// its partner however far that is; "<!--" opens a comment to "-->", any other "<!" a
// declaration to ">". With `skipNoText`, the content of scripts, style sheets and the title is
// stepped over; Qt reads tags inside them as tags.
template <typename OnText, typename OnTag>
void Scan(QStringView html, bool skipNoText, OnText onText, OnTag onTag) {
    const qsizetype size = html.size();
    qsizetype pos = 0;
    const auto at = [&](qsizetype i) { return i < size ? html[i] : QChar(); };
    const auto skipPast = [&](QStringView end) {
        const qsizetype found = html.indexOf(end, pos, Qt::CaseInsensitive);
        pos = found < 0 ? size : found + end.size();
    };
    const auto skipSpace = [&] {
        while (pos < size && html[pos].isSpace() && html[pos] != QChar::ParagraphSeparator)
            ++pos;
    };
    const auto word = [&] {
        const qsizetype start = pos;
        if (at(pos) == u'"' || at(pos) == u'\'') {
            const QChar quote = html[pos++];
            // A single quote after a backslash does not end the word.
            while (pos < size && !(html[pos] == quote && (quote == u'"' || html[pos - 1] != u'\\')))
                ++pos;
            pos = std::min(pos + 1, size);
            return html.sliced(start + 1, std::max<qsizetype>(0, pos - start - 2));
        }
        while (pos < size) {
            const QChar c = html[pos];
            if (c == u'>' || (c == u'/' && at(pos + 1) == u'>') || c == u'<' || c == u'=' ||
                c.isSpace())
                break;
            ++pos;
        }
        return html.sliced(start, pos - start);
    };
    while (pos < size) {
        const qsizetype open = html.indexOf(u'<', pos);
        const qsizetype textEnd = open < 0 ? size : open;
        if (textEnd > pos)
            onText(html.sliced(pos, textEnd - pos));
        if (open < 0)
            break;
        pos = open + 1;
        skipSpace();
        if (at(pos) == u'!') {
            ++pos;
            if (at(pos) == u'-' && at(pos + 1) == u'-') {
                pos += 2;
                skipPast(u"-->");
            } else {
                skipPast(u">");
            }
            continue;
        }
        Tag tag;
        if (at(pos) == u'/') {
            ++pos;
            tag.closing = true;
            tag.name = word().trimmed();
            skipPast(u">");
            onTag(tag);
            continue;
        }
        tag.name = word();
        if (at(pos).isSpace()) {
            for (;;) {
                skipSpace();
                if (pos >= size || at(pos) == u'>' || at(pos) == u'/' || word().isEmpty())
                    break;
                skipSpace();
                if (at(pos) == u'=') {
                    ++pos;
                    skipSpace();
                    word();
                }
            }
        }
        while (pos < size && html[pos] != u'>') {
            if (html[pos] == u'/')
                tag.closed = true;
            ++pos;
        }
        pos = std::min(pos + 1, size);
        onTag(tag);
        if (skipNoText && !tag.closed && IsOneOf(tag.name, {"script"_L1, "style"_L1, "title"_L1})) {
            const qsizetype end = html.indexOf(QString(QStringLiteral("</") + tag.name.toString()),
                                               pos, Qt::CaseInsensitive);
            pos = end < 0 ? size : end;
        }
    }
}

// The distance from the top of `open` to the nearest element that `wanted` accepts; 0 when
// there is none.
template <typename Wanted>
std::size_t Nearest(const std::vector<QStringView>& open, Wanted wanted) {
    for (std::size_t i = 1; i <= open.size(); ++i) {
        if (wanted(open[open.size() - i]))
            return i;
    }
    return 0;
}

} // namespace

bool QtReadsHtmlQuickly(QStringView html) {
    // The elements open at the current place, as Qt's reader nests them. Each step up that the
    // reader takes is counted, and so is the whole way up for a search that finds nothing.
    std::vector<QStringView> open;
    long long work = 0;
    long long elements = 0;
    const auto stepsUp = [&](std::size_t distance) {
        work += (long long)(distance > 0 ? distance : open.size());
        return distance;
    };
    const auto named = [](QStringView tag) {
        return [tag](QStringView name) { return name.compare(tag, Qt::CaseInsensitive) == 0; };
    };
    Scan(
        html, false, [](QStringView) {},
        [&](const Tag& tag) {
            if (work > kMaxHtmlNestingWork || elements > kMaxHtmlElements)
                return;
            if (tag.closing) {
                if (const std::size_t at = stepsUp(Nearest(open, named(tag.name))))
                    open.resize(open.size() - at);
                return;
            }
            if (const auto parents = ParentsOf(tag.name); !parents.empty()) {
                const auto isParent = [parents](QStringView name) {
                    return std::any_of(parents.begin(), parents.end(),
                                       [name](QLatin1StringView parent) {
                                           return name.compare(parent, Qt::CaseInsensitive) == 0;
                                       });
                };
                if (const std::size_t at = stepsUp(Nearest(open, isParent)))
                    open.resize(open.size() - at + 1);
            } else if (IsOneOf(tag.name, {"p"_L1})) {
                const std::size_t block =
                    stepsUp(Nearest(open, [](QStringView name) { return !IsInline(name); }));
                if (block > 0 && named(tag.name)(open[open.size() - block]))
                    open.resize(open.size() - block);
            } else if (IsOneOf(tag.name, {"li"_L1}) && !open.empty() &&
                       named(tag.name)(open.back())) {
                open.pop_back();
            }
            ++elements;
            // Each element takes the style of every element around it.
            work += (long long)open.size() + 1;
            if (!tag.name.isEmpty() && !tag.closed && !HoldsNothing(tag.name))
                open.push_back(tag.name);
        });
    return work <= kMaxHtmlNestingWork && elements <= kMaxHtmlElements;
}

QString HtmlPlainText(QStringView html) {
    // The text runs go through Qt's reader without a single element, which it reads in one
    // pass, to have their entities read and their white space run together. Line breaks stand
    // in it as a private-use character, which is not white space.
    constexpr QChar kLineBreak(0xE000);
    QString runs;
    bool lineBroken = true;
    Scan(
        html, true,
        [&](QStringView run) {
            runs += run;
            if (!run.trimmed().isEmpty())
                lineBroken = false;
        },
        [&](const Tag& tag) {
            if (BreaksLine(tag.name)) {
                if (!lineBroken)
                    runs += kLineBreak;
                lineBroken = true;
            } else if (!lineBroken && IsOneOf(tag.name, {"td"_L1, "th"_L1})) {
                runs += u' ';
            }
        });
    QTextDocument reader;
    reader.setHtml(runs);
    return reader.toPlainText().replace(kLineBreak, u'\n').trimmed();
}
