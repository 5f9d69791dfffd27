// The handheld itself: its state, its display, its timers and every rule of
// play, as handlers that the main window (or a test, or the scenario runner)
// calls one at a time.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "game/console_state.h"
#include "game/keys.h"
#include "game/panel.h"
#include "game/random.h"
#include "game/timers.h"
#include "sound/sound_library.h"

namespace vorlak {

// What the console asks of the window that shows it.
class ConsoleWindow {
public:
    virtual ~ConsoleWindow() = default;
    // The drag: the window follows the pointer by (dx, dy), the vertical
    // part first where a platform moves in two steps.
    virtual void moveWindowBy(int dx, int dy) = 0;
    virtual void setClientHeight(int height) = 0;
};

enum class MouseButton : std::uint8_t { Left, Right, Middle };

// The seven effects; null when not loaded.
struct ConsoleSamples {
    SampleHandle Snd_GameOver = nullptr;
    SampleHandle Snd_Level = nullptr;
    SampleHandle Snd_Miss = nullptr;
    SampleHandle Snd_Semaph = nullptr;
    SampleHandle Snd_Srvc1 = nullptr;
    SampleHandle Snd_Srvc2 = nullptr;
    SampleHandle Snd_Start = nullptr;
};

class Console : private ConsoleState, private ConsoleSamples {
public:
    Console(Clock& clock, SoundLibrary& sound, SpeakerTone& speaker);
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    void setWindow(ConsoleWindow* window) { window_ = window; }

    // The console's variables, read-only; restore() puts a saved set back
    // (the panel and the timers keep their own state).
    const ConsoleState& state() const { return *this; }
    void restore(const ConsoleState& saved) { static_cast<ConsoleState&>(*this) = saved; }
    // One variable set, as restoring a saved state would set it (tests and
    // tools set up situations this way).
    template <typename T, typename V>
    void set(T ConsoleState::*variable, V value) {
        ConsoleState s = state();
        s.*variable = static_cast<T>(value);
        restore(s);
    }

    // The element table, filled at creation and never changed: entries 0..9
    // the digit pictures, 10..13 the digit slots from left to right, 14..25
    // the opponent grid row by row (row 1 next to the rider), lanes 1..3.
    const std::array<Element, 26>& elementTable() const { return Tabella_Immagini; }
    Element digitPicture(int digit) const { return Tabella_Immagini[digit]; }           // 0..9
    Element digitSlot(int k) const { return Tabella_Immagini[9 + k]; }                  // 1..4
    Element opponentCell(int row, int lane) const { return Tabella_Immagini[13 + 3 * (row - 1) + lane]; }

    // Opponent row patterns: 12 rows of three lanes, 1 = an opponent.
    const std::array<std::uint8_t, 36>& patternTable() const { return Schemi_Avversari; }
    const ConsoleSamples& samples() const { return *this; }

    Panel& panel() { return panel_; }
    const Panel& panel() const { return panel_; }
    GameTimers& timers() { return timers_; }
    const GameTimers& timers() const { return timers_; }

    // --- creation, resets ----------------------------------------------
    void FormCreate();
    void Azzera_LCD();
    void Azzera_Timer();

    // --- console keys --------------------------------------------------
    void Im_OnOffMouseDown(MouseButton button);
    void Im_OnOffMouseUp();
    void Im_OnOffClick();
    void Im_SoundMouseDown(MouseButton button);
    void Im_SoundMouseUp();
    void Im_ACLMouseDown(MouseButton button);
    void Im_ACLMouseUp();
    void Im_ACLClick();

    // --- dragging the window (coordinates of the pressed element) ------
    void FormMouseDown(MouseButton button, int x, int y);
    void FormMouseMove(bool leftButtonHeld, int x, int y);

    // --- keyboard ---------------------------------------------------------
    void FormKeyDown(std::uint16_t key);
    void FormKeyUp(std::uint16_t key);

    // --- the race ------------------------------------------------------
    void Prepara_Gioco();
    void Proc_Gioca();
    void Trasforma_Score(const std::int32_t& value);
    void Proc_Errore();
    void Togli_Vita();
    void Aggiungi_Vita();
    void Aggiungi_Benzina();
    void Cambia_Livello();
    void Game_Over();

    // --- start-up and the launcher's choices ------------------------------
    // The console's first activation: true once, then false.
    bool firstActivation();
    void chooseNoSound();        // "(no sound)": the bank stays closed and sound is off
    void chooseSoundOutput();    // an output chosen: the bank is to be opened
    void allowSpeaker(bool on);  // the engine tone may sound ("95, 98, ME, NT")
    void soundUnavailable();     // the output cannot be had at all: play silently
    std::string soundOutputProblem() const { return sound_.outputProblem(); }

    // --- sound -----------------------------------------------------------
    // Loads the seven effects; false when GameOver.wav did not load.
    bool openSampleBank(int outputType);
    void Suona(SampleHandle sample);
    void Silenzio();
    void Speaker(std::uint32_t tone);
    void NoSpeaker();
    void FormClose();

    // A tick of a game timer: runs the timer's handler. The clock's owner
    // routes the clock's ticks here.
    void onTimer(TimerId id);

private:
    std::uint32_t drawRandom(std::uint32_t bound);  // reseed from the clock, then draw
    // Service stops come 10 s plus a drawn number of whole seconds after they
    // are scheduled: 10..35 s for a fuel pump, 10..45 s for a spanner.
    static constexpr std::uint32_t kPumpWaitDraw = 26;
    static constexpr std::uint32_t kSpannerWaitDraw = 36;
    void scheduleServiceStop(TimerId on, std::uint32_t drawnSeconds);
    void stopRaceTimers();  // what a crash and a level change stop
    void hideOpponents();
    void hideServiceStops();
    void showRiderInLane();
    void changeSpeed(int marcia);
    void endGame();  // no continue: back to the idle console
    void serviceStopOn(TimerId on, TimerId off, Element left, Element right);
    void serviceStopOff(TimerId on, TimerId off, Element left, Element right, std::uint32_t waitDraw);

    void Timer_PistaTimer();
    void Timer_MusicaAvvioTimer();
    void Timer_Semaforo1Timer();
    void Timer_Semaforo2Timer();
    void Timer_Semaforo3Timer();
    void Timer_AvversariTimer();
    void Timer_MusicaErroreTimer();
    void Timer_Lampeggio1Timer();
    void Timer_Lampeggio2Timer();
    void Timer_Lampeggio3Timer();
    void Timer_MusicaFineTimer();
    void Timer_ChiaveOnTimer();
    void Timer_ChiaveOffTimer();
    void Timer_MusicaLivelloTimer();
    void Timer_ContinueTimer();
    void Timer_BenzinaTimer();
    void Timer_PompaOnTimer();
    void Timer_PompaOffTimer();
    void Timer_LampeggioBenzinaTimer();

    Clock& clock_;
    SoundLibrary& sound_;
    SpeakerTone& speaker_;
    ConsoleWindow* window_ = nullptr;
    std::array<Element, 26> Tabella_Immagini{};
    std::array<std::uint8_t, 36> Schemi_Avversari{};
    Panel panel_;
    GameTimers timers_;
    RandomDraw random_;
};

}  // namespace vorlak
