// The runner's console, clock and sound, and what happens around every event:
// the trace, the test aids and the hooks.
#include "tools/scenario/scenario.h"

#include <istream>
#include <ostream>
#include <sstream>

#include "tools/scenario/words.h"

namespace vorlak::scenario {

Runner::Runner(std::ostream& out) : out_(out) {
    PlatformTraits traits;
    traits.keyboard.systemRepeatsControl = true;  // `hold` repeats every key itself
    handheld_ = std::make_unique<Handheld>(clock_, sound_, sound_, static_cast<FrontEnd&>(*this), traits);
    handheld_->startLauncher(&settings_);
    clock_.setTickHandler([this](TimerId id) {
        if (isGameTimer(id)) {
            if (trace_) out_ << "  " << clock_.now() << " ms  tick " << timerName(id) << '\n';
            if (tickHook_) tickHook_(id);
        }
        handheld_->tick(id);
        afterEvent();
    });
    sound_.setTimeSource([this] { return clock_.now(); });
}

Runner::~Runner() = default;

void Runner::afterEvent() {
    if (clearRoad_)
        for (int row = 1; row <= 4; ++row)
            for (int lane = 1; lane <= 3; ++lane) console().panel().hide(opponentGridCell(row, lane));
    if (autopilot_ && !inAutopilot_) autopilotStep();
    if (hook_) hook_();
}

void Runner::keyDown(std::uint16_t key, bool repeat) {
    if (trace_) out_ << "  " << clock_.now() << " ms  key down " << keyName(key) << '\n';
    handheld_->keyDown(key, repeat);
    afterEvent();
}

void Runner::keyUp(std::uint16_t key) {
    if (trace_) out_ << "  " << clock_.now() << " ms  key up " << keyName(key) << '\n';
    handheld_->keyUp(key, false);
    afterEvent();
}

// The middle of the element's picture, or a point just outside it.
static Point pointOf(Element e, bool inside) {
    const Rect& r = elementInfo(e).rect;
    return inside ? Point{r.left + r.width / 2, r.top + r.height / 2} : Point{r.right(), r.bottom()};
}

void Runner::mouseAt(Element e, MouseButton button, bool press, bool inside) {
    if (press)
        handheld_->mousePress(button, pointOf(e, inside));
    else
        handheld_->mouseRelease(button, pointOf(e, inside));
    afterEvent();
}

void Runner::doubleClickAt(Element e) {
    handheld_->mouseDoubleClick(MouseButton::Left, pointOf(e, true));
    afterEvent();
}

void Runner::advanceTo(std::int64_t time) {
    if (time < clock_.now())
        throw ScriptError("time " + std::to_string(time) + " ms is already past (now " +
                          std::to_string(clock_.now()) + " ms)");
    clock_.advanceTo(time);
}

RunResult Runner::run(std::istream& script) {
    std::string line;
    int number = 0;
    while (std::getline(script, line)) {
        ++number;
        try {
            execute(line);
        } catch (const ScriptError& e) {
            return {false, dynamic_cast<const ExpectationFailed*>(&e) != nullptr, number, "line " + std::to_string(number) + ": " + trim(line) + "\n  " + e.what()};
        }
    }
    return {};
}

RunResult Runner::runText(std::string_view script) {
    std::istringstream in{std::string(script)};
    return run(in);
}

}  // namespace vorlak::scenario
