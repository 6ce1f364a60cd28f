// The menu as the user would see it, written down for tests and the scenario's report.
#pragma once

#include <QJsonArray>

class QMenu;

namespace platform::world {
class World;
}

namespace scenario {

// One entry per item: {"separator": true} or {"title", "tooltip", "action", "enabled", "image",
// and "submenu" when there is one}. Paths in image descriptions are abbreviated by the world.
QJsonArray DescribeMenu(QMenu& menu, const platform::world::World& world);

} // namespace scenario
