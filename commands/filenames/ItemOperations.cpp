#include "commands/filenames/ItemOperations.h"

#include "platform/ExtensionRule.h"
#include "platform/FileOperations.h"
#include "platform/Files.h"
#include "platform/LocaleText.h"

#include <algorithm>

namespace {

bool hasFlags(const FSRef* item, UInt32 whichInfo, UInt32 set, UInt32 clear = 0) {
    LSItemInfoRecord info;
    if (LSCopyItemInfoForRef(item, whichInfo, &info) != noErr)
        return false;
    return (info.flags & set) == set && (info.flags & clear) == 0;
}

} // namespace

std::optional<QString> GetObjectName(const FSRef* item) {
    QString name;
    if (FSGetNameUnicode(item, &name) != noErr)
        return std::nullopt;
    return name;
}

std::optional<QString> FSGetName(const FSRef* item) {
    return GetObjectName(item);
}

std::optional<QString> CopyNameExtension(const FSRef* item) {
    const auto name = GetObjectName(item);
    if (!name)
        return std::nullopt;
    const auto start = ExtensionStartIndex(*name);
    if (!start)
        return std::nullopt;
    return name->mid(*start);
}

OSStatus SetObjectName(FSRef* item, const QString& name) {
    return FSRenameUnicode(item, name, item);
}

bool ItemIsPlainFolder(const FSRef* item) {
    return hasFlags(item, kLSRequestAllFlags, kLSItemInfoIsContainer, kLSItemInfoIsPackage);
}

bool ItemIsPlainFile(const FSRef* item) {
    return hasFlags(item, kLSRequestBasicFlagsOnly, kLSItemInfoIsPlainFile);
}

bool ItemIsContainer(const FSRef* item) {
    return hasFlags(item, kLSRequestBasicFlagsOnly, kLSItemInfoIsContainer);
}

bool IsInvisible(const FSRef* item) {
    return hasFlags(item, kLSRequestBasicFlagsOnly, kLSItemInfoIsInvisible);
}

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

void AddFilePathToPaths(const FSRef* item, QString& paths) {
    QString path;
    if (FSRefCopyPathUnicode(item, &path) != noErr)
        return;
    path.replace(u'\\', QLatin1String("\\\\")).replace(u'"', QLatin1String("\\\""));
    if (!paths.isEmpty())
        paths += QLatin1String(", ");
    paths += u'"' + path + u'"';
}
