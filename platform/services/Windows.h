// The application's own windows, brought to the user.
#pragma once

class QWidget;

namespace platform {

class WindowService {
public:
    virtual ~WindowService() = default;
    // Shows the window in front of the others with the keyboard focus, as ordering it front as
    // the key window does.
    virtual void makeKeyAndOrderFront(QWidget* window) = 0;
};

} // namespace platform

void NSWindowMakeKeyAndOrderFront(QWidget* window);
