// The game's clock on the Qt event loop: one precise timer per game timer, and
// the system's UTC time of day for the random draws.
#pragma once

#include <QBasicTimer>
#include <QObject>
#include <array>

#include "game/timers.h"

namespace vorlak {

class QtClock : public QObject, public Clock {
public:
    explicit QtClock(QObject* parent = nullptr) : QObject(parent) {}

    void startTicks(TimerId id, int intervalMs) override;
    void stopTicks(TimerId id) override;
    std::uint32_t utcTimeOfDayMs() const override;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    std::array<QBasicTimer, ClockTimerCount> timers_;
};

}  // namespace vorlak
