// The autopilot: a test aid that races on its own so that a script can watch
// a long game without steering it.
#include "tools/scenario/scenario.h"

namespace vorlak::scenario {

// Plays like a careful player: gear first, then any service stop (the rider
// may stand anywhere between two opponent steps), then a lane that is clear
// at the next opponent step.
void Runner::autopilotStep() {
    const Console& c = handheld_->console();
    const ConsoleState& s = c.state();
    if (!c.timers().enabled(Timer_Pista)) return;
    inAutopilot_ = true;
    const Panel& p = c.panel();
    auto tap = [this](std::uint16_t key) {
        keyDown(key);
        keyUp(key);
    };
    auto moveTo = [&](int lane) {
        // At most two presses: a console that ignores them must not hang us.
        for (int press = 0; press < 2 && s.Corsia < lane; ++press) tap(kKeyRight);
        for (int press = 0; press < 2 && s.Corsia > lane; ++press) tap(kKeyLeft);
    };
    for (int guard = 0; guard < 3 && s.Marcia < autopilotGear_; ++guard) tap(kKeyUp);
    for (int guard = 0; guard < 3 && s.Marcia > autopilotGear_; ++guard) tap(kKeyDown);
    for (int guard = 0; guard < 2 && autopilotCollects_; ++guard) {
        if (p.shown(Im_Chiave1) || p.shown(Im_Pompa1)) moveTo(1);
        else if (p.shown(Im_Chiave2) || p.shown(Im_Pompa2)) moveTo(3);
        else break;
        tap(kKeyControl);
    }
    if (p.shown(opponentGridCell(1, s.Corsia))) {
        for (int lane : {2, 1, 3})
            if (!p.shown(opponentGridCell(1, lane))) {
                moveTo(lane);
                break;
            }
    }
    inAutopilot_ = false;
}

}  // namespace vorlak::scenario
