// Alerts, sounds, the log and notifications: recorded, with alerts answered from the scenario.
#include "platform/world/World.h"
#include "platform/world/WorldServices.h"

#include <QJsonArray>

namespace platform::world {

int WorldAlerts::runStopAlert(const QString& message, const std::optional<QString>& detail,
                              const QStringList& buttons) {
    int answer = 1;
    if (buttons.size() > 1 && !m_world.alertAnswers.empty()) {
        answer = m_world.alertAnswers.front();
        m_world.alertAnswers.pop_front();
    }
    m_world.record(
        {{QStringLiteral("alert"),
          QJsonObject{{QStringLiteral("message"), m_world.abbreviateWithin(message)},
                      {QStringLiteral("detail"),
                       detail ? QJsonValue(m_world.abbreviateWithin(*detail)) : QJsonValue()},
                      {QStringLiteral("buttons"), QJsonArray::fromStringList(buttons)},
                      {QStringLiteral("answer"), answer}}}});
    return answer;
}

void WorldSounds::beep() {
    m_world.record({{QStringLiteral("beep"), true}});
}

bool WorldSounds::playSound(const QString& name) {
    m_world.record({{QStringLiteral("sound"), name}});
    return true;
}

void WorldLog::log(const QString& line) {
    m_world.record({{QStringLiteral("log"), line}});
}

void WorldNotifications::postDistributed(const QString& name, const QString& object, bool) {
    m_world.record(
        {{QStringLiteral("notification"),
          QJsonObject{{QStringLiteral("name"), name}, {QStringLiteral("object"), object}}}});
}

} // namespace platform::world
