#include "common/ItemLists.h"

#include "platform/local/files/FileOperations.h"
#include "platform/local/text/LocaleText.h"

#include <algorithm>

std::optional<std::vector<FSRef>> GetDirectoryItemsList(const FSRef* folder) {
    std::vector<FSRef> items;
    if (FSGetDirectoryItems(folder, &items) != noErr || items.empty())
        return std::nullopt;
    return items;
}

int CompareLikeTheFinder(const QString& a, const QString& b) {
    return FinderCollator(CFLocaleCopyCurrent()).compare(a, b);
}

void SortCFMutableArrayOfCFStringsLikeTheFinder(QStringList& texts) {
    // Each text's collation key is made once; comparing keys is a plain byte comparison, where
    // comparing texts would run the collation algorithm again at every step of the sort.
    const QCollator collator = FinderCollator(CFLocaleCopyCurrent());
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keys;
    keys.reserve(size_t(texts.size()));
    for (qsizetype i = 0; i < texts.size(); ++i)
        keys.emplace_back(collator.sortKey(texts.at(i)), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    QStringList sorted;
    sorted.reserve(texts.size());
    for (const auto& key : keys)
        sorted.append(texts.at(key.second));
    texts = std::move(sorted);
}
