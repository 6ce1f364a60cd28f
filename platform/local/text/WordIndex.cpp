#include "platform/local/text/WordIndex.h"

#include <algorithm>

namespace {

enum class Shape { Lower, Capitalised, Capitals, Mixed };

Shape shapeOf(const QString& partial) {
    bool upper = false, lower = false;
    for (const QChar c : partial) {
        upper = upper || c.isUpper();
        lower = lower || c.isLower();
    }
    if (!upper)
        return Shape::Lower;
    if (!lower && partial.size() > 1)
        return Shape::Capitals;
    const bool restLower =
        std::none_of(partial.begin() + 1, partial.end(), [](QChar c) { return c.isUpper(); });
    return partial.front().isUpper() && restLower ? Shape::Capitalised : Shape::Mixed;
}

} // namespace

WordIndex::WordIndex(const QByteArray& list) {
    for (const QByteArray& line : list.split('\n'))
        add(QString::fromUtf8(line).trimmed());
    sort();
}

WordIndex::WordIndex(const QStringList& words) {
    for (const QString& word : words)
        add(word.trimmed());
    sort();
}

void WordIndex::add(const QString& word) {
    if (word.isEmpty() || word.endsWith(QLatin1String("'s")))
        return;
    m_entries.push_back({word.toCaseFolded(), word});
}

void WordIndex::sort() {
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) {
        return a.folded != b.folded ? a.folded < b.folded : a.word < b.word;
    });
}

QStringList WordIndex::completions(const QString& partial) const {
    if (partial.isEmpty())
        return {};
    const QString folded = partial.toCaseFolded();
    const Shape shape = shapeOf(partial);
    auto at =
        std::lower_bound(m_entries.begin(), m_entries.end(), folded,
                         [](const Entry& entry, const QString& key) { return entry.folded < key; });
    QStringList found;
    for (; at != m_entries.end() && at->folded.startsWith(folded); ++at) {
        if (at->folded == folded)
            continue;
        QString word;
        switch (shape) {
        case Shape::Lower:
            if (!at->word.startsWith(partial))
                continue;
            word = at->word;
            break;
        case Shape::Capitalised:
            word = at->word.front().toUpper() + at->word.mid(1);
            break;
        case Shape::Capitals:
            word = at->word.toUpper();
            break;
        case Shape::Mixed:
            word = at->word;
            break;
        }
        found.append(word);
    }
    // Words the list writes in two cases become one when written the partial word's way.
    found.removeDuplicates();
    return found;
}
