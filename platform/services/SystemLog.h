// The system log, where diagnostics go. There are no levels: a line is a line.
#pragma once

#include <QString>

namespace platform {

class LogService {
public:
    virtual ~LogService() = default;
    virtual void log(const QString& line) = 0;
};

} // namespace platform

void NSLog(const QString& line);
