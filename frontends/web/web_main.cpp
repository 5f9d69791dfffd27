// The console in a web page: a Handheld under the page's clock, its sound sent
// to the page's audio engine, its settings in the browser's storage, its
// panel read by the page's painter. The page's script reports what the
// player does through the functions below and shows what the console asks
// for through `Module.page`; every rule is the core's.
#include <emscripten.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "frontends/web/page_clock.h"
#include "frontends/web/web_sound.h"
#include "game/handheld.h"
#include "game/keys.h"

// --- calls into the page --------------------------------------------------

EM_JS(double, page_now, (), { return performance.now(); });
EM_JS(double, page_utc_time_of_day, (), { return Date.now() % 86400000; });
EM_JS(void, page_wake, (double delay), { Module.page.wake(delay); });
EM_JS(void, page_changed, (int left, int top, int width, int height), {
    Module.page.changed(left, top, width, height);
});
EM_JS(void, page_menu, (int x, int y), { Module.page.menu(x, y); });
EM_JS(void, page_show_launcher, (), { Module.page.showLauncher(); });
EM_JS(void, page_stop_pads, (), { Module.page.stopPads(); });
EM_JS(int, page_window_left, (), { return Module.page.windowLeft(); });
EM_JS(int, page_window_top, (), { return Module.page.windowTop(); });
EM_JS(void, page_move_window_by, (int dx, int dy), { Module.page.moveWindowBy(dx, dy); });
// A malloc'd block: its length in the first four bytes, then the bytes; 0
// when there is nothing.
EM_JS(std::uint8_t*, page_block, (int kind, const char* name), {
    let bytes = null;
    const key = UTF8ToString(name);
    if (kind === 0) {
        bytes = Module.page.file(key);
    } else {
        // The browser's storage: text only; a refused storage holds nothing.
        let text = null;
        try { text = localStorage.getItem(key); } catch (e) { /* storage refused */ }
        if (text !== null) bytes = new TextEncoder().encode(text);
    }
    if (!bytes) return 0;
    const block = _malloc(bytes.length + 4);
    HEAPU32[block >> 2] = bytes.length;
    HEAPU8.set(bytes, block + 4);
    return block;
});
EM_JS(void, storage_write, (const char* name, const char* text), {
    try { localStorage.setItem(UTF8ToString(name), UTF8ToString(text)); } catch (e) { /* kept for this visit only */ }
});
EM_JS(int, audio_open, (int rate, int channels), { return Module.page.audio.open(rate, channels); });
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

std::optional<std::vector<std::uint8_t>> pageBlock(int kind, const std::string& name) {
    std::uint8_t* block = page_block(kind, name.c_str());
    if (!block) return std::nullopt;
    std::uint32_t length;
    std::memcpy(&length, block, 4);
    std::vector<std::uint8_t> bytes(block + 4, block + 4 + length);
    std::free(block);
    return bytes;
}

class PageAudio : public AudioEnginePort {
public:
    int open(int rate, int channels) override { return audio_open(rate, channels); }
    void load(int id, std::span<const std::int16_t> mono) override {
        audio_load(id, mono.data(), static_cast<int>(mono.size()));
    }
    void play(int id) override { audio_play(id); }
    void stop(int channel) override { audio_stop(channel); }
    void unload(int id) override { audio_unload(id); }
    void tone(std::optional<std::uint16_t> divisor) override { audio_tone(divisor ? *divisor : -1); }
    void close() override { audio_close(); }
};

// The two choices in the browser's storage for the site. Its values are
// always text; what the text holds is read by the console's rules.
class BrowserStorage : public SettingsStore {
public:
    Value read(std::string_view name) const override {
        const auto bytes = pageBlock(1, std::string(name));
        if (!bytes) return {};
        return {Value::Kind::Text, std::string(bytes->begin(), bytes->end())};
    }
    void write(std::string_view name, std::string_view text) override {
        storage_write(std::string(name).c_str(), std::string(text).c_str());
    }
};

// The console's window on the page, placed in console pixels.
class PageWindow : public FrontEnd {
public:
    void panelChanged(const Rect& r) override { page_changed(r.left, r.top, r.width, r.height); }
    void moveWindowBy(int dx, int dy) override { page_move_window_by(dx, dy); }
    std::optional<Point> windowPosition() const override { return Point{page_window_left(), page_window_top()}; }
    void openMenu(Point at) override { page_menu(at.x, at.y); }
    void showLauncher() override { page_show_launcher(); }
    void setClientHeight(int) override {}  // the page always shows the whole skin
    void stopPads() override { page_stop_pads(); }
};

// One run of the program: made at the page's start, and again after Exit.
struct Page {
    PageClock clock{page_now, [] { return static_cast<std::uint32_t>(page_utc_time_of_day()); },
                    [](std::optional<double> delay) { page_wake(delay ? *delay : -1); }};
    PageAudio audio;
    WebSound sound{[](const std::string& name) { return pageBlock(0, name); }, audio};
    PageWindow window;
    Handheld handheld{clock, sound, sound, window};
    BrowserStorage storage;  // opened after the console's creation step, as on the desktop
    std::map<int, PadState> pads;  // by the page's id of each pad
    std::string launcherError;

    Page() {
        clock.setTickHandler([this](TimerId id) { handheld.tick(id); });
        if (auto error = handheld.startLauncher(&storage)) launcherError = *error;
    }
};

std::unique_ptr<Page> page;
PlayOutcome lastPlay;

// The catalogue as the painter reads it: per element left, top, width,
// height, picture kind (0 none, 1 colour, 2 two-colour).
std::int32_t catalogue[ElementCount][5];
// The panel's live state: per drawn element, shown (0/1) and the element
// whose picture it draws (-1: none).
std::int16_t panelState[kDrawnElementCount][2];
std::int32_t stateValues[kStateVariables.size()];
std::int32_t launcherState[3];
std::int32_t placeValues[3];

// The console's own painted controls, which touch (and the mouse) press as
// keys: the four arms of the direction pad and the START key.
struct PaintedKey {
    Element element;
    std::uint16_t key;
};
constexpr PaintedKey kPaintedKeys[] = {
    {Sh_Su, kKeyUp}, {Sh_Giu, kKeyDown}, {Sh_Sx, kKeyLeft}, {Sh_Dx, kKeyRight}, {Im_Start, kKeyControl},
};

const std::int32_t* place(const WindowPlace& at) {
    placeValues[0] = at.left;
    placeValues[1] = at.top.value_or(0);
    placeValues[2] = at.top.has_value();
    return placeValues;
}

}  // namespace
}  // namespace vorlak

using namespace vorlak;

extern "C" {

// --- start, Exit and the end -------------------------------------------------

// The program's start: the console, then the launcher reading the stored
// choices. Returns the error the launcher met reading them, or "".
EMSCRIPTEN_KEEPALIVE const char* vorlak_start() {
    if (!page) page = std::make_unique<Page>();
    return page->launcherError.c_str();
}

// Exit: the console closes as the program's end closes it (the sound is
// released), and the program starts again as it would from its icon.
EMSCRIPTEN_KEEPALIVE const char* vorlak_exit() {
    if (page) page->handheld.close();
    page.reset();
    return vorlak_start();
}

// The end after the broken SOUND folder's message: nothing runs any more.
EMSCRIPTEN_KEEPALIVE void vorlak_end() {
    if (!page) return;
    page->handheld.close();
    page.reset();
}

// After the end nothing reaches the console: every call below is for a
// console that runs.
EMSCRIPTEN_KEEPALIVE void vorlak_activated() {
    if (page) page->handheld.activated();
}
EMSCRIPTEN_KEEPALIVE void vorlak_focus(int focused) {
    if (page) page->handheld.focusChanged(focused != 0);
}

// --- the launcher ------------------------------------------------------------

// The entries of the sound list (0) or the system list (1), one a line.
EMSCRIPTEN_KEEPALIVE const char* vorlak_list_entries(int list) {
    static std::string text;
    text.clear();
    const auto join = [](const auto& entries) {
        for (std::string_view entry : entries) (text.empty() ? text : text += '\n') += entry;
    };
    if (list == 0)
        join(kSoundEntries);
    else
        join(kSystemEntries);
    return text.c_str();
}

// The lists' choices (-1: none) and whether PLAY is enabled.
EMSCRIPTEN_KEEPALIVE const std::int32_t* vorlak_launcher() {
    const Launcher& l = page->handheld.launcher();
    launcherState[0] = l.soundChoice();
    launcherState[1] = l.systemChoice();
    launcherState[2] = l.playEnabled();
    return launcherState;
}
EMSCRIPTEN_KEEPALIVE void vorlak_choose_sound(int position) {
    if (page) page->handheld.chooseSound(position);
}
EMSCRIPTEN_KEEPALIVE void vorlak_choose_system(int position) {
    if (page) page->handheld.chooseSystem(position);
}

// PLAY, with the page's area in console pixels. 0: show the console at
// vorlak_play_place(); 1: the SOUND folder is broken (vorlak_play_message()
// in the error box, then vorlak_forget_choices(), then the end).
EMSCRIPTEN_KEEPALIVE int vorlak_play(int width, int height) {
    lastPlay = page->handheld.play({0, 0, width, height});
    return lastPlay.next == PlayOutcome::Next::ShowConsole ? 0 : 1;
}
// The broken folder's text, or the sound problem to tell the player ("": none).
EMSCRIPTEN_KEEPALIVE const char* vorlak_play_message() {
    return lastPlay.next == PlayOutcome::Next::BrokenSoundFolder ? kBrokenSoundFolderText
                                                                   : lastPlay.soundProblem.c_str();
}
// left, top, and whether a top was given (else the console keeps its top).
EMSCRIPTEN_KEEPALIVE const std::int32_t* vorlak_play_place() { return place(lastPlay.place); }
EMSCRIPTEN_KEEPALIVE void vorlak_forget_choices() {
    if (page) page->handheld.forgetChoices();
}

// Where PLAY would put the console on an area of this size: the page's area
// changed (a resize, a phone turned) before the player moved the console.
EMSCRIPTEN_KEEPALIVE const std::int32_t* vorlak_place_for(int width, int height) {
    return place(consolePlace({0, 0, width, height}, kConsoleWidth, kConsoleHeight));
}

// --- the panel -----------------------------------------------------------------

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
        const std::int32_t row[5] = {info.rect.left, info.rect.top, info.rect.width, info.rect.height,
                                     static_cast<std::int32_t>(info.picture)};
        std::memcpy(catalogue[e], row, sizeof row);
    }
    return &catalogue[0][0];
}

EMSCRIPTEN_KEEPALIVE const std::int16_t* vorlak_panel_state() {
    if (!page) return &panelState[0][0];  // ended: as it was last
    const Panel& panel = page->handheld.panel();
    for (int e = 0; e < kDrawnElementCount; ++e) {
        const auto element = static_cast<Element>(e);
        const auto picture = panel.pictureOf(element);
        panelState[e][0] = panel.shown(element);
        panelState[e][1] = picture ? static_cast<std::int16_t>(*picture) : std::int16_t{-1};
    }
    return &panelState[0][0];
}

// The console's variables, in the order of their names.
EMSCRIPTEN_KEEPALIVE int vorlak_state_count() { return static_cast<int>(kStateVariables.size()); }
EMSCRIPTEN_KEEPALIVE const char* vorlak_state_name(int i) { return kStateVariables[i].name.data(); }
EMSCRIPTEN_KEEPALIVE const std::int32_t* vorlak_state() {
    if (!page) return stateValues;
    for (std::size_t i = 0; i < kStateVariables.size(); ++i)
        stateValues[i] = static_cast<std::int32_t>(kStateVariables[i].valueIn(page->handheld.state()));
    return stateValues;
}

// --- the clock -----------------------------------------------------------------

EMSCRIPTEN_KEEPALIVE void vorlak_clock_run() {
    if (page) page->clock.run();
}
EMSCRIPTEN_KEEPALIVE void vorlak_pause() {
    if (page) page->clock.pause();
}
EMSCRIPTEN_KEEPALIVE void vorlak_resume() {
    if (page) page->clock.resume();
}
EMSCRIPTEN_KEEPALIVE double vorlak_console_time() { return page ? page->clock.consoleNow() : 0; }
// While a tick is handled, the console time it was due at; else -1.
EMSCRIPTEN_KEEPALIVE double vorlak_tick_due() {
    return page ? page->clock.dueOfTickInHand().value_or(-1) : -1;
}

// --- input (console pixels of the window) -----------------------------------

EMSCRIPTEN_KEEPALIVE void vorlak_key(int down, int key, int systemRepeat) {
    if (!page) return;
    const auto code = static_cast<std::uint16_t>(key);
    if (down)
        page->handheld.keyDown(code, systemRepeat != 0);
    else
        page->handheld.keyUp(code, systemRepeat != 0);
}

// The key a painted control gives at a point, or 0.
EMSCRIPTEN_KEEPALIVE int vorlak_painted_key_at(int x, int y) {
    for (const PaintedKey& k : kPaintedKeys) {
        const Rect& r = elementInfo(k.element).rect;
        if (x >= r.left && y >= r.top && x < r.left + r.width && y < r.top + r.height) return k.key;
    }
    return 0;
}

EMSCRIPTEN_KEEPALIVE void vorlak_mouse_press(int button, int x, int y, int doubleClick) {
    if (!page) return;
    const auto b = static_cast<MouseButton>(button);
    if (doubleClick)
        page->handheld.mouseDoubleClick(b, {x, y});
    else
        page->handheld.mousePress(b, {x, y});
}
EMSCRIPTEN_KEEPALIVE void vorlak_mouse_move(int x, int y, int leftHeld) {
    if (page) page->handheld.mouseMove({x, y}, leftHeld != 0);
}
EMSCRIPTEN_KEEPALIVE void vorlak_mouse_release(int button, int x, int y) {
    if (page) page->handheld.mouseRelease(static_cast<MouseButton>(button), {x, y});
}
// 0 arrow, 1 hand, 2 help.
EMSCRIPTEN_KEEPALIVE int vorlak_cursor_at(int x, int y) {
    return page ? static_cast<int>(page->handheld.cursorAt({x, y})) : 0;
}
EMSCRIPTEN_KEEPALIVE const char* vorlak_hint_at(int x, int y) {
    const std::string_view hint = page ? page->handheld.hintAt({x, y}) : std::string_view();
    return hint.empty() ? "" : hint.data();  // the catalogue's texts end with a zero
}

// A pad as read now: its d-pad, the three buttons that give CTRL, Back, and
// the left stick (-32768 to 32767, negative left and up).
EMSCRIPTEN_KEEPALIVE void vorlak_pad(int id, int left, int right, int up, int down, int south, int east, int start,
                                     int back, int stickX, int stickY) {
    if (!page) return;
    PadSnapshot s;
    s.set(PadControl::Left, left);
    s.set(PadControl::Right, right);
    s.set(PadControl::Up, up);
    s.set(PadControl::Down, down);
    s.set(PadControl::South, south);
    s.set(PadControl::East, east);
    s.set(PadControl::Start, start);
    s.set(PadControl::Back, back);
    s.stickX = stickX;
    s.stickY = stickY;
    PadEvents events;
    page->pads.try_emplace(id, id).first->second.update(s, events);
    if (!events.empty()) page->handheld.padInput(events);
}
EMSCRIPTEN_KEEPALIVE void vorlak_pad_gone(int id) {
    if (!page) return;
    const auto it = page->pads.find(id);
    if (it == page->pads.end()) return;
    PadEvents events;
    it->second.releaseAll(events);
    page->pads.erase(it);
    page->handheld.padInput(events);
}

}  // extern "C"
