// Which paths a scenario may name. A scenario plays with the world's own folders (its root, its
// home and its temporary-items folder) and nothing else: a selection of ".." or "/etc" would have
// the system rename the world itself, or a folder of the machine, for real. A scenario that means
// to name an outside path says so with "allow_outside_paths": true.
#pragma once

#include <QString>
#include <optional>

namespace platform::world {
class World;
}

namespace scenario {

class PathPolicy {
public:
    explicit PathPolicy(bool allowOutside = false) : m_allowOutside(allowOutside) {}

    // An error text naming `what` when the absolute path, tidied lexically, is not inside one of
    // the world's three folders (the folders themselves included) and the scenario did not allow
    // that.
    std::optional<QString> check(const platform::world::World& world, const QString& path,
                                 const QString& what) const;

private:
    bool m_allowOutside;
};

} // namespace scenario
