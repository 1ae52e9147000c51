#include "monitor/AlertSound.h"

#include <windows.h>
#include <mmsystem.h>

#include "engine/SystemLibrary.h"
#include "monitor/WideText.h"

namespace corvale {

// winmm is not one of the system's known DLLs: it is loaded from the system folder, never imported.
struct AlertSound::Library {
    tarnel::SystemLibrary winmm{L"winmm.dll"};
    decltype(&::PlaySoundW) playSound = winmm.Find<decltype(&::PlaySoundW)>("PlaySoundW");
};

AlertSound::AlertSound() = default;

AlertSound::~AlertSound() {
    // A sound still playing would play on from the library as it is freed.
    if (library_ && library_->playSound) library_->playSound(nullptr, nullptr, 0);
}

bool AlertSound::Play(const AlertNotice& notice) {
    const std::string alias = AlertSoundAlias(notice);
    if (alias.empty()) return true;
    if (!library_) library_ = std::make_unique<Library>();
    return library_->playSound &&
           library_->playSound(Widen(alias).c_str(), nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT) != FALSE;
}

}  // namespace corvale
