// The Linux implementation of each desktop service.
#pragma once

#include "platform/Application.h"
#include "platform/Finder.h"
#include "platform/Locations.h"
#include "platform/Processes.h"
#include "platform/StatusBar.h"
#include "platform/Workspace.h"

#include <QByteArray>

class QSystemTrayIcon;

namespace platform::linuxdesk {

// Reads the selection file at every query. A selection being written by velmora-select is
// waited for, a little, with the caller's idle routine; a missing, empty or unreadable file is
// no selection, and lines that are not file URIs are passed over.
class LinuxFinder : public FinderService {
public:
    explicit LinuxFinder(QByteArray selectionFolder);
    OSStatus getSelection(AEIdleUPP idle, AEDescList* list) override;
    OSStatus getObjectAsAlias(const AEDesc& spec, AliasHandle* alias, AEIdleUPP idle) override;
    // File managers watch their folders and redraw changed items by themselves.
    OSStatus updateItemAlias(const AliasHandle& alias) override;

private:
    QByteArray m_selectionFolder;
};

// The selection file always answers for the Finder, so the Finder is always "running".
class LinuxProcesses : public ProcessService {
public:
    OSStatus findProcessBySignature(OSType creator, OSType type, ProcessSerialNumber* psn) override;
};

class LinuxWorkspace : public WorkspaceService {
public:
    // Icons come from the theme the desktop names; when it names none, or one that is not
    // installed, from an installed theme.
    LinuxWorkspace();
    bool openFile(const QString& path) override;
    std::optional<QIcon> iconForFile(const QString& path) override;
};

class LinuxLocations : public Locations {
public:
    explicit LinuxLocations(QString home);
    QString home() const override { return m_home; }
    QString resourceDir() const override;

private:
    QString m_home;
};

class LinuxApplication : public ApplicationService {
public:
    void terminate() override;
};

// A tray icon. A left click opens the menu as a right click does, as a status menu should.
class LinuxStatusItem : public StatusItem {
public:
    LinuxStatusItem();
    ~LinuxStatusItem() override;
    void setImage(const QIcon& image, const QString& name) override;
    // Tray hosts draw their own highlight while a menu is open.
    void setHighlightMode(bool highlight) override;
    QMenu* menu() const override { return m_menu; }
    void setMenu(QMenu* menu) override;

private:
    std::unique_ptr<QSystemTrayIcon> m_tray;
    QMenu* m_menu = nullptr;
};

class LinuxStatusBar : public StatusBarService {
public:
    std::unique_ptr<StatusItem> statusItemWithLength(double length) override;
};

} // namespace platform::linuxdesk
