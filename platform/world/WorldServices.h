// The world's implementation of each desktop service.
#pragma once

#include "platform/services/AlertService.h"
#include "platform/services/Application.h"
#include "platform/services/Finder.h"
#include "platform/services/Locations.h"
#include "platform/services/Notifications.h"
#include "platform/services/Pasteboard.h"
#include "platform/services/Processes.h"
#include "platform/services/Scripting.h"
#include "platform/services/Sounds.h"
#include "platform/services/StandardOutput.h"
#include "platform/services/StatusBar.h"
#include "platform/services/SystemLog.h"
#include "platform/services/Windows.h"
#include "platform/services/WordCompletion.h"
#include "platform/services/Workspace.h"

#include <map>
#include <memory>

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

// The Finder is process 1 and the front application process 100.
class WorldProcesses : public ProcessService {
public:
    explicit WorldProcesses(World& world) : m_world(world) {}
    OSStatus findProcessBySignature(OSType creator, OSType type, ProcessSerialNumber* psn) override;
    OSStatus frontProcess(ProcessSerialNumber* psn) override;
    std::optional<QString> processName(const ProcessSerialNumber& psn) override;
    std::optional<QString> processBundleLocation(const ProcessSerialNumber& psn) override;
    OSStatus setFrontProcess(const ProcessSerialNumber& psn) override;

private:
    World& m_world;
};

// Items × flavors in memory, and the legacy scrap.
class WorldPasteboard : public PasteboardService {
public:
    explicit WorldPasteboard(World& world) : m_world(world) {}
    PasteboardSyncFlags synchronize() override;
    // The world's clipboard is changed by whoever holds the world, without telling: the count
    // grows whenever what it holds differs from what it held at the last call.
    UInt64 changeCount() override;
    OSStatus clear() override;
    OSStatus itemCount(ItemCount* count) override;
    OSStatus itemIdentifier(CFIndex index, PasteboardItemID* item) override;
    OSStatus flavorTypes(PasteboardItemID item, QStringList* flavors) override;
    OSStatus copyItemFlavorData(PasteboardItemID item, const QString& flavor,
                                QByteArray* data) override;
    OSStatus putItemFlavor(PasteboardItemID item, const QString& flavor, const QByteArray& data,
                           PasteboardFlavorFlags flags) override;
    std::optional<QByteArray> scrapFlavor(ScrapFlavorType type) override;
    bool waitForChange(std::chrono::milliseconds limit) override;

private:
    World& m_world;
    UInt64 m_changes = 1;
    std::vector<PasteboardItem> m_counted;
    std::map<FourCharCode, QByteArray> m_countedScrap;
};

// Alerts answer from the scenario's list and are recorded with their answer.
class WorldAlerts : public AlertService {
public:
    explicit WorldAlerts(World& world) : m_world(world) {}
    int runStopAlert(const QString& message, const std::optional<QString>& detail,
                     const QStringList& buttons) override;
    std::optional<QString> runSavePanel(const QString& requiredType,
                                        const QString& initialName) override;
    std::optional<QString> runChooseFolder(const QString& title, const QString& button,
                                           const QString& message) override;

private:
    World& m_world;
};

class WorldSounds : public SoundService {
public:
    explicit WorldSounds(World& world) : m_world(world) {}
    void beep() override;
    bool playSound(const QString& name) override;

private:
    World& m_world;
};

class WorldLog : public LogService {
public:
    explicit WorldLog(World& world) : m_world(world) {}
    void log(const QString& line) override;

private:
    World& m_world;
};

class WorldOutput : public OutputService {
public:
    explicit WorldOutput(World& world) : m_world(world) {}
    void write(const QString& text) override;

private:
    World& m_world;
};

// Windows are shown offscreen; each showing is recorded with the text of the window's text view.
class WorldWindows : public WindowService {
public:
    explicit WorldWindows(World& world) : m_world(world) {}
    void makeKeyAndOrderFront(QWidget* window) override;

private:
    World& m_world;
};

// The world's word list, when the scenario gives one.
class WorldWordCompletion : public WordCompletionService {
public:
    explicit WorldWordCompletion(World& world) : m_world(world) {}
    std::optional<QStringList> completions(const QString& partial) override;

private:
    World& m_world;
};

class WorldNotifications : public NotificationService {
public:
    explicit WorldNotifications(World& world) : m_world(world) {}
    void postDistributed(const QString& name, const QString& object,
                         bool deliverImmediately) override;
    void deliverUserNotice(const QString& text) override;

private:
    World& m_world;
};

// An application of the world: it records what scripts ask of it.
class WorldScriptApplication : public ScriptApplication {
public:
    WorldScriptApplication(World& world, QString name) : m_world(world), m_name(std::move(name)) {}
    ScriptReply perform(const QString& command, const std::vector<ScriptValue>& arguments) override;

private:
    ScriptReply setDesktopPicture(const std::vector<ScriptValue>& arguments);
    ScriptReply selectedSenders(const std::vector<ScriptValue>& arguments);
    ScriptReply makeMessage(const std::vector<ScriptValue>& arguments);

    World& m_world;
    QString m_name;
};

class WorldScripting : public ScriptingService {
public:
    explicit WorldScripting(World& world) : m_world(world) {}
    ScriptApplication* application(const QString& name) override;
    void didRun(const QString& source, OSStatus status) override;

private:
    World& m_world;
    std::map<QString, std::unique_ptr<WorldScriptApplication>> m_applications;
};

class WorldWorkspace : public WorkspaceService {
public:
    explicit WorldWorkspace(World& world) : m_world(world) {}
    bool openFile(const QString& path) override;
    std::optional<QIcon> iconForFile(const QString& path) override;
    std::optional<QString> fullPathForApplication(const QString& name) override;
    bool launchApplication(const QString& path) override;
    bool selectFile(const QString& path) override;
    // The world's file manager reads the attribute itself.
    void customIconChanged(const QString&, const std::optional<QString>&) override {}

private:
    World& m_world;
};

class WorldLocations : public Locations {
public:
    explicit WorldLocations(World& world) : m_world(world) {}
    QString home() const override;
    QString resourceDir() const override;
    QString temporaryItems() const override;
    QString fileMappingTable() const override;
    QString helperPrograms() const override;
    QString dataHome() const override;
    QString cacheHome() const override;
    QString configHome() const override;

private:
    World& m_world;
};

class WorldApplication : public ApplicationService {
public:
    explicit WorldApplication(World& world) : m_world(world) {}
    void terminate() override;
    QDateTime now() override;

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
    // Scenarios open the preference window by a step of their own.
    void setOtherActivation(std::function<void()>) override {}

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
