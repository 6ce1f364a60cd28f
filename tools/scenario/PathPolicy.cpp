#include "tools/scenario/PathPolicy.h"

#include "platform/world/World.h"

#include <QDir>

namespace scenario {

std::optional<QString> PathPolicy::check(const platform::world::World& world, const QString& path,
                                         const QString& what) const {
    if (m_allowOutside)
        return std::nullopt;
    const QString tidy = QDir::cleanPath(path);
    for (const QString& folder : {world.root(), world.home(), world.temp()}) {
        if (tidy.startsWith(folder + u'/'))
            return std::nullopt;
    }
    return QStringLiteral("%1 \"%2\" is outside the scenario's folders (set "
                          "\"allow_outside_paths\" to name it on purpose)")
        .arg(what, world.abbreviate(path));
}

} // namespace scenario
