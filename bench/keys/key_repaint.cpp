// Key press to LCD repainted: an arrow key moving the rider during a race, from
// posting the key event to the console window until the window has handled the
// update request that paints the change and hands it to the display server.
// Baseline: a bare widget showing the same skin, which repaints the same
// rectangles on the same keys.
//
// Usage: bench-key-repaint [--presses N] [--verbose]   (default 1000 presses;
// --verbose breaks down every press slower than 1 ms)
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "bench/common/bench_common.h"
#include "frontends/qt/window/form1.h"
#include "sound/recording_sound.h"

namespace {

using namespace vorlak;
using namespace vorlak::bench;

double nowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Marks the end of every update request, which is where Qt paints the dirty
// region and flushes it to the window.
struct PaintProbe {
    bool painted = false;        // a paint event ran since the last reset
    double keyMs = -1, paintStartMs = -1, paintEndMs = -1;
    double updateEndMs = -1;     // end of the first update request after a paint
    void reset() {
        painted = false;
        keyMs = paintStartMs = paintEndMs = updateEndMs = -1;
    }
    void beforeEvent(QEvent::Type type) {
        if (type == QEvent::KeyPress && keyMs < 0) keyMs = nowMs();
    }
    void paintStarts() {
        if (paintStartMs < 0) paintStartMs = nowMs();
    }
    void paintEnds() {
        painted = true;
        if (paintEndMs < 0) paintEndMs = nowMs();
    }
    void afterEvent(QEvent::Type type) {
        if (type == QEvent::UpdateRequest && painted && updateEndMs < 0) updateEndMs = nowMs();
    }
};

class TimedForm : public TForm1 {
public:
    explicit TimedForm(PaintProbe& probe) : probe_(probe) {}

protected:
    bool event(QEvent* e) override {
        const QEvent::Type type = e->type();
        probe_.beforeEvent(type);
        const bool handled = TForm1::event(e);
        probe_.afterEvent(type);
        return handled;
    }
    void paintEvent(QPaintEvent* e) override {
        probe_.paintStarts();
        TForm1::paintEvent(e);
        probe_.paintEnds();
    }

private:
    PaintProbe& probe_;
};

// The least a Qt program can do for the same job: the skin, and the rider's
// picture at one of two places, repainting only the two rectangles.
class BareForm : public QWidget {
public:
    BareForm(const QImage& skin, const QImage& left, const QImage& centre, PaintProbe& probe)
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), skin_(skin), left_(left), centre_(centre),
          probe_(probe) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::StrongFocus);
        setFixedSize(skin.size());
    }
    int lane = 2;

protected:
    bool event(QEvent* e) override {
        const QEvent::Type type = e->type();
        probe_.beforeEvent(type);
        const bool handled = QWidget::event(e);
        probe_.afterEvent(type);
        return handled;
    }
    void keyPressEvent(QKeyEvent* e) override {
        const int wanted = e->key() == Qt::Key_Left ? 1 : 2;
        if (wanted == lane) return;
        lane = wanted;
        update(rectOf(Im_Moto1));
        update(rectOf(Im_Moto2));
    }
    void paintEvent(QPaintEvent* e) override {
        probe_.paintStarts();
        QPainter painter(this);
        painter.drawImage(e->rect(), skin_, e->rect());
        const Element rider = lane == 1 ? Im_Moto1 : Im_Moto2;
        painter.drawImage(rectOf(rider).topLeft(), lane == 1 ? left_ : centre_);
        painter.end();
        probe_.paintEnds();
    }

private:
    static QRect rectOf(Element e) {
        const Rect& r = elementInfo(e).rect;
        return {r.left, r.top, r.width, r.height};
    }
    QImage skin_, left_, centre_;
    PaintProbe& probe_;
};

// Runs the event loop until `done` holds or `timeoutMs` passes.
bool spinUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer wake;  // keeps WaitForMoreEvents from sleeping past the deadline
    wake.start(5);
    while (!done()) {
        if (elapsed.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void settle(int ms) {
    spinUntil([] { return false; }, ms);
}

void postKey(QWidget& target, QEvent::Type type, int key, quint64 timestamp) {
    auto* event = new QKeyEvent(type, key, Qt::NoModifier, 0, 0, 0, QString(), false, 1);
    event->setTimestamp(timestamp);
    QCoreApplication::postEvent(&target, event);
}

bool verbose = false;

struct Target {
    const char* name;
    QWidget& widget;
    PaintProbe& probe;
    std::function<bool(int)> moved;  // whether a press of the key took effect
    std::vector<double> keyToRepaintMs{};
    int failures = 0;
    quint64 timestamp = 1000;
};

void pressAndRelease(Target& t, int key) {
    t.probe.reset();
    const double start = nowMs();
    postKey(t.widget, QEvent::KeyPress, key, t.timestamp);
    const bool painted = spinUntil([&] { return t.probe.updateEndMs >= 0; }, 1000);
    if (painted && t.moved(key)) {
        const PaintProbe& p = t.probe;
        t.keyToRepaintMs.push_back(p.updateEndMs - start);
        if (verbose && p.updateEndMs - start > 1.0)
            std::fprintf(stderr, "%s slow press: to key handler %.3f, to paint %.3f, paint %.3f, flush %.3f ms\n",
                         t.name, p.keyMs - start, p.paintStartMs - p.keyMs, p.paintEndMs - p.paintStartMs,
                         p.updateEndMs - p.paintEndMs);
    } else
        ++t.failures;
    t.timestamp += 40;
    postKey(t.widget, QEvent::KeyRelease, key, t.timestamp);
    t.timestamp += 40;
}

// Alternates left and right, and the two windows press by press (each going
// first every other time), so that both see the same machine.
void measure(Target& a, Target& b, int presses) {
    for (int i = 0; i < presses; ++i) {
        const int key = i % 2 == 0 ? Qt::Key_Left : Qt::Key_Right;
        Target& first = i % 4 < 2 ? a : b;
        pressAndRelease(first, key);
        pressAndRelease(&first == &a ? b : a, key);
        settle(25);  // the console window holds a plain release back about 15 ms
    }
}

std::string summary(const std::vector<double>& ms) {
    char text[128];
    std::snprintf(text, sizeof text, "p50 %.3f / p99 %.3f / max %.3f ms", percentile(ms, 50), percentile(ms, 99),
                  maximum(ms));
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const int presses = intOption(argc, argv, "--presses", 1000);
    for (int i = 1; i < argc; ++i) verbose = verbose || std::string(argv[i]) == "--verbose";
    QApplication app(argc, argv);

    // The console in a race, its clock standing still so that only keys change it.
    ManualClock clock;
    RecordingSound sound;
    PaintProbe consoleProbe;
    TimedForm form(consoleProbe);
    Handheld handheld(clock, sound, sound, form);
    Console& console = handheld.console();
    clock.setTickHandler([&handheld](TimerId id) { handheld.tick(id); });
    form.attach(handheld);
    form.move(0, 0);
    form.show();
    form.activateWindow();
    console.Im_OnOffClick();
    console.FormKeyDown(kKeyControl);
    console.FormKeyUp(kKeyControl);
    clock.advance(8000);
    if (!console.timers().enabled(Timer_Pista) || console.state().Corsia != 2) {
        std::fprintf(stderr, "bench-key-repaint: the race did not start\n");
        return 1;
    }
    settle(500);

    PaintProbe bareProbe;
    BareForm bare(*form.pictures().picture(Im_Principale), *form.pictures().picture(Im_Moto1),
                  *form.pictures().picture(Im_Moto2), bareProbe);
    bare.move(form.width() + 8, 0);
    bare.show();
    bare.activateWindow();
    settle(500);

    Target bareTarget{"bare widget", bare, bareProbe, [&](int key) { return bare.lane == (key == Qt::Key_Left ? 1 : 2); }};
    Target consoleTarget{"console window", form, consoleProbe,
                         [&](int key) { return console.state().Corsia == (key == Qt::Key_Left ? 1 : 2); }};
    measure(consoleTarget, bareTarget, presses);
    const Target& consoleResult = consoleTarget;
    const Target& bareResult = bareTarget;

    std::printf("platform %s, %d presses each\n", qPrintable(QGuiApplication::platformName()), presses);
    std::printf("console window: %s, %d presses without a repaint\n", summary(consoleResult.keyToRepaintMs).c_str(),
                consoleResult.failures);
    std::printf("bare widget:    %s, %d presses without a repaint\n", summary(bareResult.keyToRepaintMs).c_str(),
                bareResult.failures);
    const double p99 = percentile(consoleResult.keyToRepaintMs, 99);
    row("key to LCD repainted", summary(consoleResult.keyToRepaintMs), summary(bareResult.keyToRepaintMs),
        compare(p99, percentile(bareResult.keyToRepaintMs, 99), "ms") + " (p99)", "p99 < 2 ms",
        consoleResult.failures == 0 && p99 < 2.0);
    return consoleResult.failures == 0 ? 0 : 1;
}
