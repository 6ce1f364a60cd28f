#include "platform/world/World.h"
#include "platform/world/WorldServices.h"

#include <QMenu>

namespace platform::world {

WorldStatusItem::WorldStatusItem(World& world) : m_world(world) {
    m_world.setStatusItem(this);
}

WorldStatusItem::~WorldStatusItem() {
    if (m_world.statusItem() == this)
        m_world.setStatusItem(nullptr);
}

void WorldStatusItem::setImage(const QIcon&, const QString& name) {
    m_imageName = name;
}

void WorldStatusItem::setHighlightMode(bool) {}

void WorldStatusItem::open() {
    if (m_menu)
        emit m_menu->aboutToShow();
}

std::unique_ptr<StatusItem> WorldStatusBar::statusItemWithLength(double) {
    return std::make_unique<WorldStatusItem>(m_world);
}

} // namespace platform::world
