#include "frontends/qt/window/qt_clock.h"

#include <QDateTime>
#include <QTimerEvent>

namespace vorlak {

// Precise timers: the coarse kind may fire up to 5 % early or late, which the
// start lights and the race steps would show.
void QtClock::startTicks(TimerId id, int intervalMs) {
    timers_[id].start(intervalMs < 1 ? 1 : intervalMs, Qt::PreciseTimer, this);
}

void QtClock::stopTicks(TimerId id) { timers_[id].stop(); }

std::uint32_t QtClock::utcTimeOfDayMs() const {
    return static_cast<std::uint32_t>(QDateTime::currentDateTimeUtc().time().msecsSinceStartOfDay());
}

void QtClock::timerEvent(QTimerEvent* event) {
    for (int i = 0; i < ClockTimerCount; ++i) {
        if (timers_[i].timerId() == event->timerId()) {
            deliverTick(static_cast<TimerId>(i));
            return;
        }
    }
    QObject::timerEvent(event);
}

}  // namespace vorlak
