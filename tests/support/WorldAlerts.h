// What the alerts a world recorded said, for tests that check messages in order.
#pragma once

#include "platform/world/World.h"

#include <QStringList>

namespace fixtures {

inline QStringList AlertMessages(const platform::world::World& world) {
    QStringList messages;
    for (const auto& alert : world.eventsOf<platform::world::events::Alert>())
        messages.append(alert.message);
    return messages;
}

} // namespace fixtures
