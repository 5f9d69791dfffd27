// Turns the toolkit's key events into the console's: a held key gives repeated
// key-downs and a single key-up, as on the handheld's original platform.
//
// X11 reports auto-repeat as release/press pairs, marked as such; a few pairs
// arrive unmarked with both events at the same timestamp, so a plain release is
// held back briefly and dropped if such a press follows. X11 never repeats
// CTRL, yet a held CTRL acts on every repeat: the window repeats it itself.
//
// The pads are a second keyboard with a repeat of its own: the two never stop
// each other's repeat, as two keyboards would not.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>

namespace vorlak {

class KeyInput : public QObject {
public:
    using Deliver = std::function<void(std::uint16_t virtualKey)>;

    KeyInput(Deliver keyDown, Deliver keyUp, QObject* parent = nullptr);

    // CTRL's own repeat, from the desktop's settings.
    void setControlRepeat(int delayMs, int intervalMs);

    void pressed(int qtKey, bool autoRepeat, quint64 timestamp);
    void released(int qtKey, bool autoRepeat, quint64 timestamp);
    // Deliver a held-back release at once and stop repeating (the window
    // loses the keyboard).
    void flush();

    // A pad key, told from the pads' other keys by `id`. As on a keyboard the
    // last one pressed repeats, at the desktop's delay and rate, until it is
    // released or another pad key is pressed.
    void padPressed(int id, std::uint16_t virtualKey);
    void padReleased(int id, std::uint16_t virtualKey);

    // The virtual key code for a toolkit key: 17 CTRL, 37-40 the arrows, letters
    // and digits as themselves, anything else a code the game ignores.
    static std::uint16_t virtualKey(int qtKey);

private:
    struct Release {
        int key;
        quint64 timestamp;
    };
    void deliverPendingRelease();
    void repeatControl();
    void repeatPadKey();

    Deliver keyDown_, keyUp_;
    std::optional<Release> pending_;
    QTimer releaseHold_;
    static constexpr int kReleaseHoldMs = 15;  // longer than an unmarked pair's gap
    QTimer controlRepeat_;
    int controlDelayMs_ = 500;
    int controlIntervalMs_ = 33;
    bool systemRepeatsControl_ = false;
    struct PadKey {
        int id;
        std::uint16_t virtualKey;
    };
    std::optional<PadKey> padRepeatKey_;
    QTimer padRepeat_;
};

}  // namespace vorlak
