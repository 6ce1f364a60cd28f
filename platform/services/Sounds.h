// The system's sounds: the alert beep and the named sounds of the desktop's sound theme.
#pragma once

#include <QString>

namespace platform {

class SoundService {
public:
    virtual ~SoundService() = default;
    virtual void beep() = 0;
    // Starts the named sound and returns at once; false when the desktop has no such sound.
    virtual bool playSound(const QString& name) = 0;
};

} // namespace platform

// The classic calls: a beep (its duration is a hint the desktop may ignore) and a named sound.
void SysBeep(short duration);
bool PlaySoundNamed(const QString& name);
