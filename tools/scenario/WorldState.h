// The parts of a scenario's world besides its files: the clipboard, the front application, the
// installed applications, the settings and the user's answers; and how the clipboard and the
// settings are reported afterwards.
#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

namespace platform::world {
class World;
}

namespace scenario {

class PathPolicy;

// Each reads its part of the input into the world; an error text for a malformed one.
std::optional<QString> ReadClipboard(const QJsonObject& clipboard, platform::world::World& world);
std::optional<QString> ReadFrontApplication(const QJsonValue& front, platform::world::World& world);
std::optional<QString> ReadApplications(const QJsonObject& applications,
                                        platform::world::World& world);
// Every setting's text that names an absolute path must be one `policy` allows.
std::optional<QString> ReadPreferences(const QJsonObject& preferences,
                                       platform::world::World& world, const PathPolicy& policy);
// Mail runs and its selected messages have these senders.
std::optional<QString> ReadMail(const QJsonObject& mail, platform::world::World& world);
std::optional<QString> ReadAnswers(const QJsonObject& answers, platform::world::World& world);
// The spell checker's word list; null for none.
std::optional<QString> ReadWords(const QJsonValue& words, platform::world::World& world);
// The world's clock: an ISO 8601 date and time ("2026-12-05T06:52:44Z").
std::optional<QString> ReadNow(const QJsonValue& now, platform::world::World& world);

// Text flavors as their text, picture flavors as {"image": {...}, "bytes": n}, any other flavor
// as {"bytes": n, "base64": "..."}; the legacy scrap under "scrap" when it holds anything.
QJsonObject DescribeClipboard(const platform::world::World& world);
// The settings as the store holds them after the run.
QJsonObject DescribePreferences(platform::world::World& world);

} // namespace scenario
