// The pads through a fake XInput: which slots are read when, the controls as
// the console's pad controls (the stick through the shared hysteresis, its
// up made negative), pads coming and going, and the reading thread handing
// what changed to the user-interface thread only while told to read.
#include <gtest/gtest.h>

#include <windows.h>
#include <xinput.h>

#include <array>
#include <chrono>

#include "frontends/win32/gamepads/xinput_pads.h"

namespace vorlak {
namespace {

struct FakeXInput : PadSource {
    std::array<std::optional<XInputReading>, 4> pads;
    std::array<int, 4> reads{};
    std::optional<XInputReading> read(int slot) override {
        ++reads[slot];
        return pads[slot];
    }
};

PadEvents poll(PadPoller& poller, std::int64_t at, int* wait = nullptr) {
    PadEvents events;
    const int ms = poller.poll(at, events);
    if (wait) *wait = ms;
    return events;
}

TEST(PadPoller, EmptySlotsAreAskedOnceASecondAndAPadAtEveryPoll) {
    FakeXInput xinput;
    PadPoller poller(xinput);
    int wait = 0;
    EXPECT_TRUE(poll(poller, 0, &wait).empty());
    EXPECT_EQ(xinput.reads, (std::array<int, 4>{1, 1, 1, 1}));
    EXPECT_EQ(wait, 1000);
    poll(poller, 500, &wait);
    EXPECT_EQ(xinput.reads, (std::array<int, 4>{1, 1, 1, 1}));
    EXPECT_EQ(wait, 500);

    xinput.pads[2] = XInputReading{XINPUT_GAMEPAD_A, 0, 0};
    EXPECT_EQ(poll(poller, 1000, &wait), (PadEvents{{0, PadControl::South, true}}));
    EXPECT_EQ(wait, PadPoller::kFastPollMs);
    for (int t = 1008; t < 2000; t += 8) poll(poller, t);
    EXPECT_EQ(xinput.reads, (std::array<int, 4>{2, 2, 2 + 124, 2}));
    poll(poller, 2000);
    EXPECT_EQ(xinput.reads, (std::array<int, 4>{3, 3, 3 + 124, 3}));

    // Gone: everything it held is let go; a pad that comes back is a new one.
    xinput.pads[2].reset();
    EXPECT_EQ(poll(poller, 2008, &wait), (PadEvents{{0, PadControl::South, false}}));
    EXPECT_EQ(wait, 992);
    xinput.pads[2] = XInputReading{XINPUT_GAMEPAD_START, 0, 0};
    EXPECT_EQ(poll(poller, 3000), (PadEvents{{1, PadControl::Start, true}}));
}

TEST(PadPoller, ButtonsDPadAndStickAreTheConsolesPadControls) {
    FakeXInput xinput;
    PadPoller poller(xinput);
    xinput.pads[0] = XInputReading{XINPUT_GAMEPAD_DPAD_LEFT | XINPUT_GAMEPAD_B | XINPUT_GAMEPAD_BACK |
                                       XINPUT_GAMEPAD_X | XINPUT_GAMEPAD_Y | XINPUT_GAMEPAD_LEFT_SHOULDER,
                                   0, 0};
    EXPECT_EQ(poll(poller, 0), (PadEvents{{0, PadControl::Left, true}, {0, PadControl::East, true},
                                          {0, PadControl::Back, true}}));
    // XInput's stick is up-positive: pushed up it is the console's up.
    xinput.pads[0] = XInputReading{XINPUT_GAMEPAD_DPAD_UP | XINPUT_GAMEPAD_DPAD_DOWN | XINPUT_GAMEPAD_DPAD_RIGHT,
                                   -20000, 32767};
    EXPECT_EQ(poll(poller, 8), (PadEvents{{0, PadControl::Left, false}, {0, PadControl::East, false},
                                          {0, PadControl::Back, false}, {0, PadControl::Right, true},
                                          {0, PadControl::Up, true}, {0, PadControl::Down, true},
                                          {0, PadControl::StickLeft, true}, {0, PadControl::StickUp, true}}));
    // Within the hysteresis nothing changes; back inside it, released. The
    // stick fully down (-32768) is the console's down.
    xinput.pads[0] = XInputReading{0, -13000, -32768};
    EXPECT_EQ(poll(poller, 16), (PadEvents{{0, PadControl::Right, false}, {0, PadControl::Up, false},
                                           {0, PadControl::Down, false}, {0, PadControl::StickUp, false},
                                           {0, PadControl::StickDown, true}}));
    xinput.pads[0] = XInputReading{0, -12000, 0};
    EXPECT_EQ(poll(poller, 24), (PadEvents{{0, PadControl::StickLeft, false}, {0, PadControl::StickDown, false}}));
}

// The thread delivers through the message loop of the thread that made the
// pads, and reads nothing while it is told not to.
TEST(XInputPads, TheThreadReadsOnlyWhileToldAndDeliversOnTheMessageLoop) {
    FakeXInput* xinput = nullptr;
    PadEvents delivered;
    XInputPads pads([&](const PadEvents& events) { delivered.insert(delivered.end(), events.begin(), events.end()); },
                    [&] {
                        auto source = std::make_unique<FakeXInput>();
                        source->pads[1] = XInputReading{XINPUT_GAMEPAD_A, 0, 0};
                        xinput = source.get();
                        return source;
                    });
    const auto pump = [&](int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(5);
        }
    };
    pump(100);
    EXPECT_EQ(xinput, nullptr) << "XInput was loaded before the console had the keyboard";
    pads.setReading(true);
    pump(300);
    EXPECT_EQ(delivered, (PadEvents{{0, PadControl::South, true}}));
    pads.setReading(false);
    pump(50);
    const auto reads = xinput->reads;
    pump(100);
    EXPECT_EQ(xinput->reads, reads);
}

}  // namespace
}  // namespace vorlak
