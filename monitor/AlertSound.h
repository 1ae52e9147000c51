#pragma once
// "Play a sound" (Windows): the system's sound for a notice, through the user's sound scheme.

#include <memory>

#include "monitor/AlertText.h"

namespace corvale {

class AlertSound {
public:
    AlertSound();
    ~AlertSound();
    AlertSound(const AlertSound&) = delete;
    AlertSound& operator=(const AlertSound&) = delete;

    // Starts the notice's sound (AlertSoundAlias) and returns at once; nothing when it has none,
    // or when the scheme gives the sound no file. The sound library is loaded on the first call.
    // False when the system could not play it.
    bool Play(const AlertNotice& notice);

private:
    struct Library;
    std::unique_ptr<Library> library_;
};

}  // namespace corvale
