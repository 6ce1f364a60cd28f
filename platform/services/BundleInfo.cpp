#include "platform/services/BundleInfo.h"

#include <QLatin1StringView>

namespace {

struct InfoEntry {
    QLatin1StringView key;
    QLatin1StringView value;
};

constexpr InfoEntry kInfoDictionary[] = {
    {QLatin1StringView("CFBundleName"), QLatin1StringView("Velmora")},
    {QLatin1StringView("CFBundleIdentifier"), QLatin1StringView("io.velmora.Velmora")},
    {QLatin1StringView("CFBundleSignature"), QLatin1StringView("Vlmr")},
};

} // namespace

std::optional<QString> CFBundleGetValueForInfoDictionaryKey(const QString& key) {
    for (const InfoEntry& entry : kInfoDictionary) {
        if (key == entry.key)
            return QString(entry.value);
    }
    return std::nullopt;
}
