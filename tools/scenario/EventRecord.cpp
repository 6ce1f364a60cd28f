#include "tools/scenario/EventRecord.h"

#include "platform/world/World.h"

namespace scenario {

namespace {

namespace events = platform::world::events;
using platform::world::World;

// One JSON object per event kind, each with its one key.
struct Describe {
    const World& world;

    QJsonObject operator()(const events::Alert& alert) const {
        return {{QStringLiteral("alert"),
                 QJsonObject{{QStringLiteral("message"), world.abbreviateWithin(alert.message)},
                             {QStringLiteral("detail"),
                              alert.detail ? QJsonValue(world.abbreviateWithin(*alert.detail))
                                           : QJsonValue()},
                             {QStringLiteral("buttons"), QJsonArray::fromStringList(alert.buttons)},
                             {QStringLiteral("answer"), alert.answer}}}};
    }
    QJsonObject operator()(const events::Beep&) const { return {{QStringLiteral("beep"), true}}; }
    QJsonObject operator()(const events::Sound& sound) const {
        return {{QStringLiteral("sound"), sound.name}};
    }
    QJsonObject operator()(const events::Log& log) const {
        return {{QStringLiteral("log"), world.abbreviateWithin(log.line)}};
    }
    QJsonObject operator()(const events::Notification& notification) const {
        return {{QStringLiteral("notification"),
                 QJsonObject{{QStringLiteral("name"), notification.name},
                             {QStringLiteral("object"), notification.object}}}};
    }
    QJsonObject operator()(const events::UserNotice& notice) const {
        return {{QStringLiteral("user_notice"), world.abbreviateWithin(notice.text)}};
    }
    QJsonObject operator()(const events::Script& script) const {
        return {{QStringLiteral("script"),
                 QJsonObject{{QStringLiteral("text"), world.abbreviateWithin(script.text)},
                             {QStringLiteral("status"), script.status}}}};
    }
    QJsonObject operator()(const events::Open& open) const {
        return {{QStringLiteral("open"), world.abbreviate(open.path)}};
    }
    QJsonObject operator()(const events::Reveal& reveal) const {
        return {{QStringLiteral("reveal"), world.abbreviate(reveal.path)}};
    }
    QJsonObject operator()(const events::Launch& launch) const {
        return {{QStringLiteral("launch"), launch.application}};
    }
    QJsonObject operator()(const events::Quit&) const { return {{QStringLiteral("quit"), true}}; }
    QJsonObject operator()(const events::Front&) const { return {{QStringLiteral("front"), true}}; }
    QJsonObject operator()(const events::FinderUpdate& update) const {
        return {{QStringLiteral("finder_update"), world.abbreviate(update.path)}};
    }
    QJsonObject operator()(const events::DesktopPicture& picture) const {
        return {{QStringLiteral("desktop_picture"), world.abbreviate(picture.path)}};
    }
    QJsonObject operator()(const events::HideOthers&) const {
        return {{QStringLiteral("hide_others"), true}};
    }
    QJsonObject operator()(const events::Activate& activate) const {
        return {{QStringLiteral("activate"), activate.application}};
    }
    QJsonObject operator()(const events::PreviewFromClipboard&) const {
        return {{QStringLiteral("preview_from_clipboard"), true}};
    }
    QJsonObject operator()(const events::MailMessage& message) const {
        QJsonArray attachments;
        for (const QString& path : message.attachments)
            attachments.append(world.abbreviate(path));
        return {{QStringLiteral("mail_message"),
                 QJsonObject{{QStringLiteral("attachments"), attachments},
                             {QStringLiteral("names"), message.names}}}};
    }
    QJsonObject operator()(const events::Keystroke& keystroke) const {
        return {{QStringLiteral("keystroke"), keystroke.name}};
    }
    QJsonObject operator()(const events::Stdout& output) const {
        return {{QStringLiteral("stdout"), world.abbreviateWithin(output.text)}};
    }
    QJsonObject operator()(const events::Window& window) const {
        return {{QStringLiteral("window"),
                 QJsonObject{{QStringLiteral("title"), window.title},
                             {QStringLiteral("text"), world.abbreviateWithin(window.text)}}}};
    }
    QJsonObject operator()(const events::PreferencesWindow& window) const {
        QJsonObject boxes;
        for (const auto& [key, on] : window.boxes)
            boxes.insert(key, on);
        return {
            {QStringLiteral("preferences_window"), QJsonObject{{QStringLiteral("boxes"), boxes}}}};
    }
    QJsonObject operator()(const events::Unchosen& unchosen) const {
        const QJsonValue wanted =
            std::holds_alternative<QStringList>(unchosen.wanted)
                ? QJsonValue(QJsonArray::fromStringList(std::get<QStringList>(unchosen.wanted)))
                : QJsonValue(std::get<QString>(unchosen.wanted));
        return {
            {unchosen.disabled ? QStringLiteral("disabled") : QStringLiteral("not_found"), wanted}};
    }
};

} // namespace

QJsonArray DescribeEvents(const World& world) {
    QJsonArray described;
    for (const platform::world::Event& event : world.events())
        described.append(std::visit(Describe{world}, event));
    return described;
}

} // namespace scenario
