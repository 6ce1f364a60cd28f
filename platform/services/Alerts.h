// Modal alerts: a stop alert with a message, an optional informative text and its buttons.
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
};

} // namespace platform

// Shows a stop alert through the installed desktop; the button's number, or -1.
int RunStopAlert(const QString& message, const std::optional<QString>& detail,
                 const QStringList& buttons);
