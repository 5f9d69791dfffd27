#include "game/pad_state.h"

namespace vorlak {
namespace {

constexpr std::uint16_t bit(PadControl c) { return static_cast<std::uint16_t>(1u << static_cast<int>(c)); }
constexpr std::uint16_t kStickBits =
    bit(PadControl::StickLeft) | bit(PadControl::StickRight) | bit(PadControl::StickUp) | bit(PadControl::StickDown);

}  // namespace

void PadSnapshot::set(PadControl c, bool on) {
    buttons = on ? (buttons | bit(c)) : (buttons & ~bit(c));
}

bool PadState::stickHeld(int value, PadControl negative, PadControl positive, bool wantNegative) const {
    const PadControl c = wantNegative ? negative : positive;
    const int travel = wantNegative ? -value : value;
    return travel >= (held(c) ? kStickReleased + 1 : kStickPressed);
}

void PadState::update(const PadSnapshot& now, PadEvents& out) {
    std::uint16_t next = now.buttons & ~kStickBits;
    auto stick = [&](int value, PadControl negative, PadControl positive) {
        if (stickHeld(value, negative, positive, true)) next |= bit(negative);
        if (stickHeld(value, negative, positive, false)) next |= bit(positive);
    };
    stick(now.stickX, PadControl::StickLeft, PadControl::StickRight);
    stick(now.stickY, PadControl::StickUp, PadControl::StickDown);
    apply(next, out);
}

void PadState::releaseAll(PadEvents& out) { apply(0, out); }

void PadState::apply(std::uint16_t next, PadEvents& out) {
    constexpr int count = static_cast<int>(PadControl::Count);
    for (int i = 0; i < count; ++i)
        if ((held_ & ~next) >> i & 1) out.push_back({pad_, static_cast<PadControl>(i), false});
    for (int i = 0; i < count; ++i)
        if ((next & ~held_) >> i & 1) out.push_back({pad_, static_cast<PadControl>(i), true});
    held_ = next;
}

}  // namespace vorlak
