// The preference window: one box per boolean setting, written the moment it is clicked; the
// all and none buttons of the message-part group and of the options group; the box that starts
// Velmora when the user logs in, which writes or removes the autostart entry and shows whether
// it is there each time the window shows; the name and version. When any window of the application
// closes, every box is written again and the change is announced to other processes.
//
//   set-up and loading       VelmoraPrefPane(), initControls
//   the box handlers         click("includeContentButtonClicked:"), one per box, and the four
//                            group buttons' ("includeNoneTopButtonClicked:", ...)
//   closing                  windowWillClose
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <map>

class QCheckBox;
class QLabel;
class QWidget;

class VelmoraPrefPane : public QObject {
public:
    VelmoraPrefPane();
    ~VelmoraPrefPane() override;

    QWidget* window() const { return m_window; }
    void initControls();
    void windowWillClose();
    // Runs the handler of that name, as clicking its box or button does; false for a name that
    // is no handler's.
    bool click(const QString& handler);
    // Every handler's name.
    static QStringList handlers();

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void boxClicked(const char* key);
    void startAtLoginClicked();
    void setGroup(const std::vector<const char*>& keys, bool on);

    QString m_appID;
    QWidget* m_window;
    QLabel* m_versionInfoField;
    std::map<QString, QCheckBox*> m_boxes; // by key
    QCheckBox* m_startAtLogin;
};
