#include "commands/icons/WebIcons.h"

#include "commands/icons/ClipboardIcons.h"
#include "commands/icons/TextExtraction.h"
#include "common/AlertMessages.h"
#include "common/CommandProgress.h"
#include "common/ItemKinds.h"
#include "common/ItemPaths.h"
#include "platform/local/documents/WebLocationFiles.h"
#include "platform/local/files/ResourceFork.h"
#include "platform/local/network/HttpFetch.h"
#include "platform/local/system/BackgroundWork.h"
#include "platform/local/text/TextEncodings.h"
#include "platform/services/Workspace.h"

#include <functional>
#include <vector>

namespace {

constexpr OSType kUrlResourceType = FOUR_CHAR_CODE("url ");

void Alert(const char* message) {
    ShowAlertMessage(QString::fromLatin1(message), std::nullopt);
}

} // namespace

std::optional<QString> WebLocationAddress(const QString& path) {
    const auto fork = ReadResourceFork(path);
    const auto map = fork ? ResourceMap::parse(*fork) : std::nullopt;
    if (!map || map->count(kUrlResourceType) < 1)
        return ReadWebLocationFile(path);
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

namespace {

// Web locations fetched at the same time: enough that five slow sites cost the time of one,
// few enough not to look like an attack to a server that hosts several of them.
constexpr int kFetchesAtOnce = 6;

// One item's way to its icon: what is known before anything is fetched, and what the fetches
// found. Each step that fails ends it with its alert.
struct WebIconJob {
    FSRef item;
    QString path;
    QUrl page;
    std::optional<QImage> image;
    const char* failure = nullptr;
};

WebIconJob PrepareWebIcon(FSRef* item) {
    WebIconJob job{*item, {}, {}, std::nullopt, nullptr};
    if (!IsWeblocFile(item)) {
        job.failure = "This is not a web location file.";
        return job;
    }
    const auto path = stringWithFSRef(item);
    const auto address = path ? WebLocationAddress(*path) : std::nullopt;
    if (!address) {
        job.failure = "This web location could not be found.";
        return job;
    }
    job.path = *path;
    job.page = QUrl(*address, QUrl::StrictMode);
    return job;
}

// The fetching and decoding, which touch nothing but the job: run off the menu's thread.
void FetchWebIcon(WebIconJob& job) {
    if (job.failure)
        return;
    const auto bytes = job.page.isValid() && !job.page.isRelative()
                           ? FetchURL(job.page, kMaxPageBytes, BeyondCap::Cut)
                           : std::nullopt;
    if (!bytes) {
        job.failure = "The web page could not be downloaded.";
        return;
    }
    const auto utf8 = DecodeUtf8Exactly(*bytes);
    const QString text = utf8 ? *utf8 : MacRomanText(*bytes);
    const auto head =
        extractBetweenPattern(text, QStringLiteral("<head"), QStringLiteral("</head>"));
    if (!head) {
        job.failure = "The web page header could not be found.";
        return;
    }
    const auto iconAddress = ShortcutIconAddress(*head, job.page);
    if (!iconAddress) {
        job.failure = "The shortcut icon could not be found.";
        return;
    }
    job.image = ImageWithContentsOfURL(*iconAddress);
    if (!job.image)
        job.failure = "The shortcut icon image could not be created.";
}

void FinishWebIcon(const WebIconJob& job) {
    if (job.failure)
        Alert(job.failure);
    else if (!NSWorkspaceSetIconForFile(*job.image, job.path))
        Alert("The shortcut icon image could not be copied to the file.");
}

void FetchInBackground(std::vector<WebIconJob>& jobs) {
    std::vector<std::function<void()>> fetches;
    for (WebIconJob& job : jobs)
        fetches.push_back([&job] { FetchWebIcon(job); });
    platform::RunAllInBackground(fetches, kFetchesAtOnce);
}

} // namespace

void AddWebIcon(FSRef* item) {
    std::vector<WebIconJob> jobs{PrepareWebIcon(item)};
    FetchInBackground(jobs);
    FinishWebIcon(jobs.front());
}

void SetIconsFromWebLocationsOfSelection() {
    std::vector<WebIconJob> jobs;
    ForEachSelectedItem([&](FSRef* item) { jobs.push_back(PrepareWebIcon(item)); });
    SetCommandProgress(QStringLiteral("Downloading site icons"));
    FetchInBackground(jobs);
    // The outcomes in the selection's order, as if each item had been done on its own.
    for (const WebIconJob& job : jobs)
        FinishWebIcon(job);
}
