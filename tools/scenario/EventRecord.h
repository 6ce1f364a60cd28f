// The world's events as the scenario's report writes them, paths shortened to "$ROOT/",
// "$HOME/" and "$TEMP/".
#pragma once

#include <QJsonArray>
#include <QJsonObject>

namespace platform::world {
class World;
}

namespace scenario {

// Every event so far, in order: {"alert": {...}}, {"open": "$ROOT/a.txt"}, ...
QJsonArray DescribeEvents(const platform::world::World& world);

} // namespace scenario
