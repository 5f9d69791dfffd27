// The handheld itself: its state, its display, its timers and every rule of
// play, as handlers that the main window (or a test, or the scenario runner)
// calls one at a time.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

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
    virtual int windowLeft() const = 0;
    virtual int windowTop() const = 0;
    virtual void setWindowLeft(int left) = 0;
    virtual void setWindowTop(int top) = 0;
    virtual void setClientHeight(int height) = 0;
};

enum class MouseButton : std::uint8_t { Left, Right, Middle };

class Console {
public:
    Console(Clock& clock, SoundLibrary& sound, SpeakerTone& speaker);
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    void setWindow(ConsoleWindow* window) { window_ = window; }

    // --- state -----------------------------------------------------------
    // Flags are one byte, counters signed 32-bit; all zero until FormCreate,
    // which sets the values noted "at creation".
    bool Acceso = false;           // the console is switched on
    bool In_Gioco = false;         // a game started with CTRL has not ended yet
    bool Tasto_Libero = false;     // an arrow may act: set by any key release, cleared by an arrow press
    bool Attesa_Continue = false;  // the continue offer (C 0 N) is showing
    bool Suono_On = false;         // the player wants sound; true at creation, toggled by SOUND
    bool Suono_Pronto = false;     // the sample bank is open and its effects loaded
    bool Speaker_On = false;       // the engine tone may sound (system choice "95, 98, ME, NT")
    bool Primo_Avvio = true;       // the launcher has not been shown yet; set before any window exists
    std::int32_t Corsia = 0;           // the rider's lane, 1 left .. 3 right
    std::int32_t Marcia = 0;           // gear 1..3
    std::int32_t Livello_Benzina = 0;  // fuel units left: 3 at a level's start, more with a pump on a full tank
    std::int32_t Vite = 0;             // lives left: 4 at a level's start, more with a spanner at 4 lives
    std::int32_t Livello = 0;          // level 1..5 in play; 6 once the fifth is cleared
    std::int32_t Score = 0;            // total score, 0 and up, shown on the four digit slots
    std::int32_t Punti_Livello = 0;    // points earned in the current level
    std::int32_t Traguardo = 0;        // points that clear the current level: Livello x 100
    std::int32_t Tono_Motore = 0;      // engine tone of the current gear: 20, 22 or 26
    std::int32_t Mouse_X = 0;          // where the mouse was last pressed, in the pressed
    std::int32_t Mouse_Y = 0;          // element's coordinates: the drag's anchor

    // The element table, filled at creation and never changed: entries 0..9
    // the digit pictures, 10..13 the digit slots from left to right, 14..25
    // the opponent grid row by row (row 1 next to the rider), lanes 1..3.
    // Reached through digitPicture, digitSlot and opponentCell.
    std::array<Element, 26> Tabella_Immagini{};
    // Opponent row patterns: 12 rows of three lanes, 1 = an opponent.
    std::array<std::uint8_t, 36> Schemi_Avversari{};

    Element digitPicture(int digit) const { return Tabella_Immagini[digit]; }           // 0..9
    Element digitSlot(int k) const { return Tabella_Immagini[9 + k]; }                  // 1..4
    Element opponentCell(int row, int lane) const { return Tabella_Immagini[13 + 3 * (row - 1) + lane]; }

    SampleHandle Snd_GameOver = nullptr;  // the seven effects; null when not loaded
    SampleHandle Snd_Level = nullptr;
    SampleHandle Snd_Miss = nullptr;
    SampleHandle Snd_Semaph = nullptr;
    SampleHandle Snd_Srvc1 = nullptr;
    SampleHandle Snd_Srvc2 = nullptr;
    SampleHandle Snd_Start = nullptr;

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
    void changeSpeed(int marcia, int pistaMs, int avversariMs, int tone);

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
    Panel panel_;
    GameTimers timers_;
    RandomDraw random_;
};

}  // namespace vorlak
