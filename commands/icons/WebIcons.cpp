#include "commands/icons/WebIcons.h"

#include "commands/icons/CustomIcons.h"
#include "common/Alerts.h"
#include "common/ItemKinds.h"
#include "common/ItemPaths.h"
#include "common/TextExtraction.h"
#include "platform/local/HttpFetch.h"
#include "platform/local/ResourceFork.h"
#include "platform/local/TextEncodings.h"
#include "platform/services/Workspace.h"

namespace {

constexpr OSType kUrlResourceType = FOUR_CHAR_CODE("url ");

void Alert(const char* message) {
    ShowAlertMessage(QString::fromLatin1(message), std::nullopt);
}

} // namespace

std::optional<QString> WebLocationAddress(const QString& path) {
    const auto fork = ReadResourceFork(path);
    if (!fork)
        return std::nullopt;
    const auto map = ResourceMap::parse(*fork);
    if (!map || map->count(kUrlResourceType) < 1)
        return std::nullopt;
    const auto data = map->indexed(kUrlResourceType, 1);
    if (!data || data->isEmpty())
        return std::nullopt;
    const qsizetype zero = data->indexOf('\0');
    return DecodeUtf8Exactly(zero < 0 ? *data : data->left(zero));
}

std::optional<QUrl> ShortcutIconAddress(const QString& head, const QUrl& page) {
    if (const auto link = extractBetweenPattern(
            head, QStringLiteral("<link rel=\"shortcut icon\" href=\""), QStringLiteral("\""))) {
        const QUrl relative(*link, QUrl::StrictMode);
        if (relative.isValid() && !link->isEmpty()) {
            const QUrl resolved = page.resolved(relative);
            if (resolved.isValid())
                return resolved;
        }
    }
    if (page.host().isEmpty())
        return std::nullopt;
    // Always http, as sites serve /favicon.ico there. A page served over http on a port of its
    // own keeps that port: its site answers there, and port 80 of the host may be nobody's.
    QUrl favicon;
    favicon.setScheme(QStringLiteral("http"));
    favicon.setHost(page.host());
    if (page.scheme() == QLatin1String("http"))
        favicon.setPort(page.port());
    favicon.setPath(QStringLiteral("/favicon.ico"));
    if (!favicon.isValid())
        return std::nullopt;
    return favicon;
}

void AddWebIcon(FSRef* item) {
    if (!IsWeblocFile(item)) {
        Alert("This is not a web location file.");
        return;
    }
    const auto path = stringWithFSRef(item);
    const auto address = path ? WebLocationAddress(*path) : std::nullopt;
    if (!address) {
        Alert("This web location could not be found.");
        return;
    }
    const QUrl page(*address, QUrl::StrictMode);
    const auto bytes = page.isValid() && !page.isRelative()
                           ? FetchURL(page, kMaxPageBytes, BeyondCap::Cut)
                           : std::nullopt;
    if (!bytes) {
        Alert("The web page could not be downloaded.");
        return;
    }
    const auto utf8 = DecodeUtf8Exactly(*bytes);
    const QString text = utf8 ? *utf8 : MacRomanText(*bytes);
    const auto head =
        extractBetweenPattern(text, QStringLiteral("<head"), QStringLiteral("</head>"));
    if (!head) {
        Alert("The web page header could not be found.");
        return;
    }
    const auto iconAddress = ShortcutIconAddress(*head, page);
    if (!iconAddress) {
        Alert("The shortcut icon could not be found.");
        return;
    }
    const auto image = ImageWithContentsOfURL(*iconAddress);
    if (!image) {
        Alert("The shortcut icon image could not be created.");
        return;
    }
    if (!NSWorkspaceSetIconForFile(*image, *path))
        Alert("The shortcut icon image could not be copied to the file.");
}

void SetIconsFromWebLocationsOfSelection() {
    ForEachSelectedItem(AddWebIcon);
}
