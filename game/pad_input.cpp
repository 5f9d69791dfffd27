#include "game/pad_input.h"

namespace vorlak {

std::uint16_t PadInput::virtualKey(PadControl control) {
    switch (control) {
        case PadControl::Left:
        case PadControl::StickLeft: return kKeyLeft;
        case PadControl::Right:
        case PadControl::StickRight: return kKeyRight;
        case PadControl::Up:
        case PadControl::StickUp: return kKeyUp;
        case PadControl::Down:
        case PadControl::StickDown: return kKeyDown;
        case PadControl::South:
        case PadControl::East:
        case PadControl::Start: return kKeyControl;
        case PadControl::Back:
        case PadControl::Count: break;
    }
    return 0;
}

void PadInput::take(std::span<const PadEvent> events) {
    for (const PadEvent& e : events) {
        if (!focused_) continue;  // as keys go elsewhere; releases too
        if (e.control == PadControl::Back) {
            soundKey(e.pressed);
            continue;
        }
        const int id = e.pad * static_cast<int>(PadControl::Count) + static_cast<int>(e.control);
        if (e.pressed)
            keys_.padPressed(id, virtualKey(e.control));
        else
            keys_.padReleased(id, virtualKey(e.control));
    }
}

void PadInput::setFocused(bool focused) {
    focused_ = focused;
    if (focused || soundKeyHolders_ == 0) return;
    soundKeyHolders_ = 0;
    console_.Im_SoundMouseUp();
}

// The key looks pressed until the last Back holding it is released.
void PadInput::soundKey(bool pressed) {
    if (pressed) {
        ++soundKeyHolders_;
        console_.Im_SoundMouseDown(MouseButton::Left);
    } else if (soundKeyHolders_ > 0 && --soundKeyHolders_ == 0) {
        console_.Im_SoundMouseUp();
    }
}

}  // namespace vorlak
