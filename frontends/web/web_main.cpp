// The console in a web page: the core's Console under the page's clock, with
// its sound sent to the page's audio engine, its panel read by the page's
// painter, and the mouse routed over its elements. The page's script calls
// the functions below; they call back into the page through `Module.page`.
#include <emscripten.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "frontends/web/page_clock.h"
#include "frontends/web/web_sound.h"
#include "game/handheld.h"

// --- calls into the page --------------------------------------------------

EM_JS(double, page_now, (), { return performance.now(); });
EM_JS(double, page_utc_time_of_day, (), { return Date.now() % 86400000; });
EM_JS(void, page_wake, (double delay), { Module.page.wake(delay); });
EM_JS(void, page_changed, (int left, int top, int width, int height), {
    Module.page.changed(left, top, width, height);
});
EM_JS(void, page_menu, (int x, int y), { Module.page.menu(x, y); });
EM_JS(int, page_window_left, (), { return Module.page.windowLeft(); });
EM_JS(int, page_window_top, (), { return Module.page.windowTop(); });
EM_JS(void, page_move_window, (int left, int top), { Module.page.moveWindow(left, top); });
// A file of the page's bundle, copied into a malloc'd block: its length in
// the first four bytes, then the bytes; 0 when the page has no such file.
EM_JS(std::uint8_t*, page_file, (const char* name), {
    const bytes = Module.page.file(UTF8ToString(name));
    if (!bytes) return 0;
    const block = _malloc(bytes.length + 4);
    HEAPU32[block >> 2] = bytes.length;
    HEAPU8.set(bytes, block + 4);
    return block;
});
EM_JS(void, audio_open, (int rate, int channels), { Module.page.audio.open(rate, channels); });
EM_JS(void, audio_load, (int id, const std::int16_t* mono, int count), {
    Module.page.audio.load(id, HEAP16.slice(mono >> 1, (mono >> 1) + count));
});
EM_JS(void, audio_play, (int id), { Module.page.audio.play(id); });
EM_JS(void, audio_stop, (int channel), { Module.page.audio.stop(channel); });
EM_JS(void, audio_unload, (int id), { Module.page.audio.unload(id); });
EM_JS(void, audio_tone, (int divisor), { Module.page.audio.tone(divisor); });
EM_JS(void, audio_close, (), { Module.page.audio.close(); });

namespace vorlak {
namespace {

class PageAudio : public AudioEnginePort {
public:
    void open(int rate, int channels) override { audio_open(rate, channels); }
    void load(int id, std::span<const std::int16_t> mono) override {
        audio_load(id, mono.data(), static_cast<int>(mono.size()));
    }
    void play(int id) override { audio_play(id); }
    void stop(int channel) override { audio_stop(channel); }
    void unload(int id) override { audio_unload(id); }
    void tone(std::optional<std::uint16_t> divisor) override { audio_tone(divisor ? *divisor : -1); }
    void close() override { audio_close(); }
};

// The console's window on the page, placed in page pixels.
class PageWindow : public FrontEnd {
public:
    void panelChanged(const Rect& r) override { page_changed(r.left, r.top, r.width, r.height); }
    void moveWindowBy(int dx, int dy) override { page_move_window(page_window_left() + dx, page_window_top() + dy); }
    std::optional<Point> windowPosition() const override { return Point{page_window_left(), page_window_top()}; }
    void openMenu(Point at) override { page_menu(at.x, at.y); }
    void showLauncher() override {}
    void setClientHeight(int) override {}  // the page always shows the whole skin
};

std::optional<std::vector<std::uint8_t>> pageFile(const std::string& name) {
    std::uint8_t* block = page_file(name.c_str());
    if (!block) return std::nullopt;
    std::uint32_t length;
    std::memcpy(&length, block, 4);
    std::vector<std::uint8_t> bytes(block + 4, block + 4 + length);
    std::free(block);
    return bytes;
}

struct Page {
    PageClock clock{page_now, [] { return static_cast<std::uint32_t>(page_utc_time_of_day()); },
                    [](std::optional<double> delay) { page_wake(delay ? *delay : -1); }};
    PageAudio audio;
    WebSound sound{pageFile, audio};
    PageWindow window;
    Handheld handheld{clock, sound, sound, window};
    Console& console = handheld.console();

    Page() {
        clock.setTickHandler([this](TimerId id) { handheld.tick(id); });
        handheld.startLauncher(nullptr);
    }
};

std::unique_ptr<Page> page;

// The catalogue as the painter reads it: per element left, top, width,
// height, picture kind (0 none, 1 colour, 2 two-colour), cursor.
std::int32_t catalogue[ElementCount][6];
// The panel's live state: per drawn element, shown (0/1) and the element
// whose picture it draws (-1: none).
std::int16_t panelState[kDrawnElementCount][2];

}  // namespace
}  // namespace vorlak

using namespace vorlak;

extern "C" {

EMSCRIPTEN_KEEPALIVE void vorlak_create() {
    if (!page) page = std::make_unique<Page>();
}

EMSCRIPTEN_KEEPALIVE int vorlak_element_count() { return ElementCount; }
EMSCRIPTEN_KEEPALIVE int vorlak_drawn_element_count() { return kDrawnElementCount; }

EMSCRIPTEN_KEEPALIVE const char* vorlak_element_name(int e) {
    static std::string name;
    name = elementInfo(static_cast<Element>(e)).name;
    return name.c_str();
}

EMSCRIPTEN_KEEPALIVE const std::int32_t* vorlak_catalogue() {
    for (int e = 0; e < ElementCount; ++e) {
        const ElementInfo& info = elementInfo(static_cast<Element>(e));
        const std::int32_t row[6] = {info.rect.left, info.rect.top, info.rect.width, info.rect.height,
                                     static_cast<std::int32_t>(info.picture), static_cast<std::int32_t>(info.cursor)};
        std::memcpy(catalogue[e], row, sizeof row);
    }
    return &catalogue[0][0];
}

EMSCRIPTEN_KEEPALIVE const std::int16_t* vorlak_panel_state() {
    const Panel& panel = page->console.panel();
    for (int e = 0; e < kDrawnElementCount; ++e) {
        const auto element = static_cast<Element>(e);
        const auto picture = panel.pictureOf(element);
        panelState[e][0] = panel.shown(element);
        panelState[e][1] = picture ? static_cast<std::int16_t>(*picture) : std::int16_t{-1};
    }
    return &panelState[0][0];
}

EMSCRIPTEN_KEEPALIVE const char* vorlak_hint_at(int x, int y) {
    const auto e = page->console.panel().elementAt(x, y);
    return e ? elementInfo(*e).hint.data() : "";  // the catalogue's texts end with a zero
}

EMSCRIPTEN_KEEPALIVE int vorlak_element_at(int x, int y) {
    const auto e = page->console.panel().elementAt(x, y);
    return e ? *e : -1;
}

// --- the clock ---------------------------------------------------------------

EMSCRIPTEN_KEEPALIVE void vorlak_clock_run() { page->clock.run(); }
EMSCRIPTEN_KEEPALIVE void vorlak_pause() { page->clock.pause(); }
EMSCRIPTEN_KEEPALIVE void vorlak_resume() { page->clock.resume(); }
EMSCRIPTEN_KEEPALIVE double vorlak_console_time() { return page->clock.consoleNow(); }

// --- input (console coordinates) -------------------------------------------

EMSCRIPTEN_KEEPALIVE void vorlak_mouse_press(int button, int x, int y, int second) {
    const auto b = static_cast<MouseButton>(button);
    if (second)
        page->handheld.mouseDoubleClick(b, {x, y});
    else
        page->handheld.mousePress(b, {x, y});
}
EMSCRIPTEN_KEEPALIVE void vorlak_mouse_move(int x, int y, int leftHeld) { page->handheld.mouseMove({x, y}, leftHeld != 0); }
EMSCRIPTEN_KEEPALIVE void vorlak_mouse_release(int button, int x, int y) {
    page->handheld.mouseRelease(static_cast<MouseButton>(button), {x, y});
}
EMSCRIPTEN_KEEPALIVE void vorlak_key_down(int key) { page->handheld.keyDown(static_cast<std::uint16_t>(key), false); }
EMSCRIPTEN_KEEPALIVE void vorlak_key_up(int key) { page->handheld.keyUp(static_cast<std::uint16_t>(key), false); }

// --- sound -------------------------------------------------------------------

// Opens the sample bank as the launcher's play button does with the given
// choices (output type 1 or 2, or 0 for no sound; the older systems' speaker).
EMSCRIPTEN_KEEPALIVE int vorlak_open_sound(int outputType, int speaker) {
    Handheld& h = page->handheld;
    h.chooseSound(outputType == FSOUND_OUTPUT_WINMM    ? Sound_WindowsMM
                  : outputType == FSOUND_OUTPUT_DSOUND ? Sound_DirectSound
                                                       : Sound_None);
    h.chooseSystem(speaker != 0 ? System_Older : System_2000);
    return h.play({0, 0, 1024, 768}).next == PlayOutcome::Next::ShowConsole ? 1 : 0;
}

// The console's own sound calls, for the page's checks.
EMSCRIPTEN_KEEPALIVE void vorlak_suona(int effect) {
    Console& c = page->console;
    const ConsoleSamples& s = c.samples();
    const SampleHandle bank[] = {s.Snd_GameOver, s.Snd_Level, s.Snd_Miss, s.Snd_Semaph,
                                 s.Snd_Srvc1,    s.Snd_Srvc2, s.Snd_Start};
    if (effect >= 0 && effect < 7) c.Suona(bank[effect]);
}
EMSCRIPTEN_KEEPALIVE void vorlak_speaker(int tone) { page->console.Speaker(static_cast<std::uint32_t>(tone)); }
EMSCRIPTEN_KEEPALIVE void vorlak_silenzio() { page->console.Silenzio(); }
EMSCRIPTEN_KEEPALIVE void vorlak_close() { page->handheld.close(); }

}  // extern "C"
