// The least a Qt program can do to put the console's picture on the screen: a
// frameless window, centred, painting one 461 x 738 JPEG decoded at start.
// With --tick MS (repeatable) a precise timer flips a 40 x 30 patch every MS
// ms, repainting only that rectangle, as the race's timers do; --at X Y
// places it instead of centring it; --text draws a line of text (the font
// machinery a launcher needs). Built twice: bare, and linked to the sound
// libraries the program uses, to tell their cost apart; that build's --sound
// also opens an audio device playing silence, as the program's sound does.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPaintEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#ifdef BARE_WITH_SOUND_LIBRARIES
#include <SDL.h>
#endif

namespace {

#ifdef BARE_WITH_SOUND_LIBRARIES
void SDLCALL silence(void*, Uint8* stream, int bytes) { std::memset(stream, 0, static_cast<std::size_t>(bytes)); }

bool openSilentAudio() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec wanted{};
    wanted.freq = 22050;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = 512;
    wanted.callback = silence;
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) return false;
    SDL_PauseAudioDevice(device, 0);
    return true;
}
#endif

class PictureWindow : public QWidget {
public:
    explicit PictureWindow(const QImage& picture)
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), picture_(picture) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(picture.size());
    }
    void flip(int patch) {
        lit_[patch] = !lit_[patch];
        update(patchRect(patch));
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.drawImage(event->rect(), picture_, event->rect());
        if (text) painter.drawText(20, 20, QStringLiteral("Select sound mode:"));
        for (int i = 0; i < 2; ++i)
            if (lit_[i] && patchRect(i).intersects(event->rect())) painter.fillRect(patchRect(i), Qt::black);
    }

private:
    static QRect patchRect(int patch) { return {150 + 60 * patch, 150, 40, 30}; }
    QImage picture_;
    bool lit_[2] = {false, false};

public:
    bool text = false;
};

}  // namespace

int main(int argc, char** argv) {
#ifdef BARE_WITH_SOUND_LIBRARIES
    SDL_version linked;
    SDL_GetVersion(&linked);  // a real use, so the library stays linked
    if (linked.major != 2) return 1;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--sound") == 0 && !openSilentAudio()) return 1;
#endif
    QApplication app(argc, argv);
    const QImage picture(QStringLiteral(":/pictures/Im_Principale.jpg"));
    if (picture.isNull()) return 1;
    PictureWindow window(picture);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    window.move(screen.center() - window.rect().center());
    for (int i = 1; i + 2 < argc; ++i)
        if (std::strcmp(argv[i], "--at") == 0) window.move(std::atoi(argv[i + 1]), std::atoi(argv[i + 2]));

    std::vector<std::unique_ptr<QTimer>> timers;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--tick") != 0) continue;
        auto timer = std::make_unique<QTimer>();
        timer->setTimerType(Qt::PreciseTimer);
        const int patch = static_cast<int>(timers.size() % 2);
        QObject::connect(timer.get(), &QTimer::timeout, &window, [&window, patch] { window.flip(patch); });
        timer->start(std::atoi(argv[++i]));
        timers.push_back(std::move(timer));
    }
    for (int i = 1; i < argc; ++i) window.text = window.text || std::strcmp(argv[i], "--text") == 0;
    window.show();
    return QApplication::exec();
}
