// The SDL layer as a module, loaded by DeferredSound.
#include "sound/deferred_sound.h"
#include "sound/sdl_sound.h"

extern "C" __attribute__((visibility("default"))) vorlak::SoundModuleLayer vorlak_sound_module_create() {
    auto* layer = new vorlak::SdlSound;
    return {layer, layer};
}
