// Modal alerts and panels: a stop alert with a message, an optional informative text and its
// buttons, the save panel that asks where a new file goes, and the dialog that asks for a folder.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

class AlertService {
public:
    virtual ~AlertService() = default;
    // Shows the alert until the user presses a button; returns the button's number (1 for the
    // first, the default one) or -1 when the alert could not be shown. The last of two buttons
    // is the cancel button.
    virtual int runStopAlert(const QString& message, const std::optional<QString>& detail,
                             const QStringList& buttons) = 0;
    // Asks for the path of a new file whose name ends in "." + `requiredType` (added when the
    // user leaves it out), starting with `initialName`. Replacing an existing file is confirmed
    // in the panel. None when the user cancels.
    virtual std::optional<QString> runSavePanel(const QString& requiredType,
                                                const QString& initialName) = 0;
    // Asks for an existing folder, in a dialog titled `title` whose choosing button says
    // `button` and which shows `message`. None when the user cancels.
    virtual std::optional<QString> runChooseFolder(const QString& title, const QString& button,
                                                   const QString& message) = 0;
};

} // namespace platform

// Shows a stop alert through the installed desktop; the button's number, or -1.
int RunStopAlert(const QString& message, const std::optional<QString>& detail,
                 const QStringList& buttons);

// Runs the save panel through the installed desktop; the chosen path, or none when cancelled.
std::optional<QString> RunSavePanel(const QString& requiredType, const QString& initialName);

// Runs the choose-folder dialog through the installed desktop; the folder, or none when cancelled.
std::optional<QString> RunChooseFolderDialog(const QString& title, const QString& button,
                                             const QString& message);
