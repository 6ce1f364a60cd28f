// Standard output, where the system writes progress lines for whoever started it from a
// terminal.
#pragma once

#include <QString>

namespace platform {

class OutputService {
public:
    virtual ~OutputService() = default;
    // Writes the text as UTF-8, at once: nothing waits in a buffer for a line end.
    virtual void write(const QString& text) = 0;
};

} // namespace platform

// printf followed by fflush.
void WriteStandardOutput(const QString& text);
