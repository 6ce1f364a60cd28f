// The running application as a whole.
#pragma once

#include <QDateTime>

namespace platform {

class ApplicationService {
public:
    virtual ~ApplicationService() = default;
    // Ends the application once the current action returns.
    virtual void terminate() = 0;
    // The current date and time.
    virtual QDateTime now() = 0;
};

} // namespace platform

void NSApplicationTerminate();
// The current date and time, in UTC.
QDateTime NSDateNow();
