// The world's implementation of each desktop service.
#pragma once

#include "platform/Application.h"
#include "platform/Finder.h"
#include "platform/Locations.h"
#include "platform/Processes.h"
#include "platform/StatusBar.h"
#include "platform/Workspace.h"

namespace platform::world {

class World;

class WorldFinder : public FinderService {
public:
    explicit WorldFinder(World& world) : m_world(world) {}
    OSStatus getSelection(AEIdleUPP idle, AEDescList* list) override;
    OSStatus getObjectAsAlias(const AEDesc& spec, AliasHandle* alias, AEIdleUPP idle) override;
    OSStatus updateItemAlias(const AliasHandle& alias) override;

private:
    World& m_world;
};

class WorldProcesses : public ProcessService {
public:
    explicit WorldProcesses(World& world) : m_world(world) {}
    OSStatus findProcessBySignature(OSType creator, OSType type, ProcessSerialNumber* psn) override;

private:
    World& m_world;
};

class WorldWorkspace : public WorkspaceService {
public:
    explicit WorldWorkspace(World& world) : m_world(world) {}
    bool openFile(const QString& path) override;
    std::optional<QIcon> iconForFile(const QString& path) override;

private:
    World& m_world;
};

class WorldLocations : public Locations {
public:
    explicit WorldLocations(World& world) : m_world(world) {}
    QString home() const override;
    QString resourceDir() const override;

private:
    World& m_world;
};

class WorldApplication : public ApplicationService {
public:
    explicit WorldApplication(World& world) : m_world(world) {}
    void terminate() override;

private:
    World& m_world;
};

// The status item, offscreen: "opening" it is the menu's aboutToShow notice.
class WorldStatusItem : public StatusItem {
public:
    explicit WorldStatusItem(World& world);
    ~WorldStatusItem() override;
    void setImage(const QIcon& image, const QString& name) override;
    void setHighlightMode(bool highlight) override;
    QMenu* menu() const override { return m_menu; }
    void setMenu(QMenu* menu) override { m_menu = menu; }

    // What the user's click does: the menu is told it is about to show.
    void open();
    QString imageName() const { return m_imageName; }

private:
    World& m_world;
    QMenu* m_menu = nullptr;
    QString m_imageName;
};

class WorldStatusBar : public StatusBarService {
public:
    explicit WorldStatusBar(World& world) : m_world(world) {}
    std::unique_ptr<StatusItem> statusItemWithLength(double length) override;

private:
    World& m_world;
};

} // namespace platform::world
