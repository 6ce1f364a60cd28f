// The Finder's selection of a world set to files of its root, as a user selecting them would.
#pragma once

#include "platform/world/World.h"

#include <QFile>
#include <QStringList>

namespace fixtures {

// Each name relative to the world's root, in order, as an object specifier.
inline void SelectInWorld(platform::world::World& world, const QStringList& names) {
    world.finder.selection.clear();
    for (const QString& name : names)
        world.finder.selection.push_back({QFile::encodeName(world.root() + u'/' + name),
                                          platform::world::SelectionElement::Form::Object});
}

} // namespace fixtures
