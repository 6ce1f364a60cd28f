// The running application as a whole.
#pragma once

namespace platform {

class ApplicationService {
public:
    virtual ~ApplicationService() = default;
    // Ends the application once the current action returns.
    virtual void terminate() = 0;
};

} // namespace platform

void NSApplicationTerminate();
