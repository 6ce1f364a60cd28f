// Alerts, sounds, the log, standard output, windows and notifications: recorded, with alerts
// answered from the scenario; word completions from the scenario's word list.
#include "platform/local/text/WordIndex.h"
#include "platform/world/World.h"
#include "platform/world/WorldServices.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QWidget>

namespace platform::world {

int WorldAlerts::runStopAlert(const QString& message, const std::optional<QString>& detail,
                              const QStringList& buttons) {
    int answer = 1;
    if (buttons.size() > 1 && !m_world.alertAnswers.empty()) {
        answer = m_world.alertAnswers.front();
        m_world.alertAnswers.pop_front();
    }
    m_world.record(events::Alert{message, detail, buttons, answer});
    return answer;
}

// The answer is taken as the panel gives it: the required extension added when it is missing.
std::optional<QString> WorldAlerts::runSavePanel(const QString& requiredType, const QString&) {
    if (m_world.savePanelAnswers.empty())
        return std::nullopt;
    std::optional<QString> answer = m_world.savePanelAnswers.front();
    m_world.savePanelAnswers.pop_front();
    if (answer && !answer->endsWith(u'.' + requiredType, Qt::CaseInsensitive))
        *answer += u'.' + requiredType;
    return answer;
}

std::optional<QString> WorldAlerts::runChooseFolder(const QString&, const QString&,
                                                    const QString&) {
    auto& answers = m_world.chooseFolderAnswers;
    if (answers.empty())
        return std::nullopt;
    std::optional<QString> answer;
    answer.swap(answers.front());
    answers.pop_front();
    return answer;
}

void WorldSounds::beep() {
    m_world.record(events::Beep{});
}

bool WorldSounds::playSound(const QString& name) {
    m_world.record(events::Sound{name});
    return true;
}

void WorldLog::log(const QString& line) {
    m_world.record(events::Log{line});
}

void WorldOutput::write(const QString& text) {
    m_world.appendStandardOutput(text);
}

void WorldWindows::makeKeyAndOrderFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
    // A text window is known by its text view, the preference window by its boxes, each named
    // by its setting.
    if (const auto* view = window->findChild<QPlainTextEdit*>()) {
        m_world.record(events::Window{window->windowTitle(), view->toPlainText()});
        return;
    }
    events::PreferencesWindow shown;
    for (const QCheckBox* box : window->findChildren<QCheckBox*>())
        shown.boxes[box->objectName()] = box->isChecked();
    m_world.record(shown);
}

std::optional<QStringList> WorldWordCompletion::completions(const QString& partial) {
    if (!m_world.words)
        return std::nullopt;
    const WordIndex index(*m_world.words);
    if (index.isEmpty())
        return std::nullopt;
    return index.completions(partial);
}

void WorldNotifications::postDistributed(const QString& name, const QString& object, bool) {
    m_world.record(events::Notification{name, object});
}

void WorldNotifications::deliverUserNotice(const QString& text) {
    m_world.record(events::UserNotice{text});
}

} // namespace platform::world
