// The handheld itself: its state, its display, its timers and every rule of
// play, as handlers that the main window (or a test, or the scenario runner)
// calls one at a time.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

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
    virtual void openSettingsStore() {}
};

enum class MouseButton : std::uint8_t { Left, Right, Middle };

// Virtual key codes the console reacts to.
constexpr std::uint16_t VK_CONTROL = 17;
constexpr std::uint16_t VK_LEFT = 37;
constexpr std::uint16_t VK_UP = 38;
constexpr std::uint16_t VK_RIGHT = 39;
constexpr std::uint16_t VK_DOWN = 40;

class Console {
public:
    Console(Clock& clock, SoundLibrary& sound, SpeakerTone& speaker);
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;
    ~Console();

    void setWindow(ConsoleWindow* window) { window_ = window; }

    // --- state -----------------------------------------------------------
    // Flags are one byte, counters signed 32-bit; all zero until creation.
    bool Acceso = false;
    bool In_Gioco = false;
    bool Tasto_Libero = false;
    bool Attesa_Continue = false;
    bool Suono_On = false;
    bool Suono_Pronto = false;
    bool Speaker_On = false;
    bool Primo_Avvio = true;  // set before any window exists
    std::int32_t Corsia = 0;
    std::int32_t Marcia = 0;
    std::int32_t Livello_Benzina = 0;
    std::int32_t Vite = 0;
    std::int32_t Livello = 0;
    std::int32_t Score = 0;
    std::int32_t Punti_Livello = 0;
    std::int32_t Traguardo = 0;
    std::int32_t Tono_Motore = 0;
    std::int32_t Mouse_X = 0;
    std::int32_t Mouse_Y = 0;

    std::array<Element, 26> Tabella_Immagini{};
    std::array<std::uint8_t, 36> Schemi_Avversari{};

    SampleHandle Snd_GameOver = nullptr;
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

    // A tick of a game timer: runs the timer's handler.
    void onTimer(TimerId id);

private:
    std::uint32_t drawRandom(std::uint32_t bound);  // reseed from the clock, then draw
    Element opponentCell(int row, int lane) const { return Tabella_Immagini[13 + 3 * (row - 1) + lane]; }
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
