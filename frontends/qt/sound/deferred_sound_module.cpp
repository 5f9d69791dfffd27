// The SDL layer as a module, loaded by DeferredSound.
#include "frontends/qt/sound/deferred_sound.h"
#include "frontends/qt/sound/sdl_sound.h"

extern "C" __attribute__((visibility("default"))) vorlak::SoundModuleLayer vorlak_sound_module_create() {
    auto* layer = new vorlak::SdlSound;
    return {layer, layer};
}
