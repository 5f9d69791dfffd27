// What the play button does when the SOUND folder is broken (its first
// effect, GameOver.wav, did not load).
#pragma once

#include <functional>

#include "game/launcher.h"  // kBrokenSoundFolderText

class QWidget;

namespace vorlak {

// Shows the modal error box over `owner`; once the user has closed it, calls
// `forgetChoices` (which stores -1 for both launcher choices, so the next
// start asks again) and tells the application to end.
void reportBrokenSoundFolder(QWidget* owner, const std::function<void()>& forgetChoices);

}  // namespace vorlak
