// Creation, the two resets, the console's keys and window dragging.
#include "game/console.h"

#include <iterator>

namespace vorlak {

Console::Console(Clock& clock, SoundLibrary& sound, SpeakerTone& speaker)
    : clock_(clock), sound_(sound), speaker_(speaker), timers_(clock) {}

void Console::FormCreate() {
    for (int d = 0; d <= 9; ++d) Tabella_Immagini[d] = static_cast<Element>(Im_Num0 + d);
    Tabella_Immagini[10] = Im_NumPos1;
    Tabella_Immagini[11] = Im_NumPos2;
    Tabella_Immagini[12] = Im_NumPos3;
    Tabella_Immagini[13] = Im_NumPos4;
    for (std::size_t i = 0; i < kOpponentGrid.size(); ++i) Tabella_Immagini[14 + i] = kOpponentGrid[i];

    // Opponent rows: lanes 1..3 per pattern. The empty ones stand at the end, so
    // a shorter draw range at higher speed leaves out only empty rows.
    constexpr std::uint8_t patterns[36] = {
        1, 0, 0,  0, 1, 0,  0, 0, 1,  1, 1, 0,  1, 0, 1,  0, 1, 1,
        0, 0, 0,  0, 0, 0,  0, 0, 0,  0, 0, 0,  0, 0, 0,  0, 0, 0,
    };
    for (int i = 0; i < 36; ++i) Schemi_Avversari[i] = patterns[i];

    if (window_) window_->setClientHeight(kConsoleHeight);

    Acceso = false;
    In_Gioco = false;
    Tasto_Libero = false;
    Attesa_Continue = false;
    Suono_On = true;
}

void Console::Azzera_LCD() {
    panel_.setShown(Im_GameOver, Acceso);
    panel_.setShown(Im_Cruscotto, Acceso);
    panel_.setShown(Im_Num00, Acceso);
    constexpr Element blanked[] = {
        Im_Fuel1, Im_Fuel2, Im_Fuel3, Im_Speed1, Im_Speed2, Im_Speed3,
        Im_Errori1, Im_Errori2, Im_Errori3, Im_Errori4,
        Im_Semaforo1, Im_Semaforo2, Im_Semaforo3,
        Im_Linea1sx, Im_Linea1dx, Im_Linea2sx, Im_Linea2dx, Im_Linea3sx1, Im_Linea3sx2, Im_Linea3dx,
        Im_Moto1, Im_Moto2, Im_Moto3,
    };
    for (Element e : blanked) panel_.hide(e);
    hideOpponents();
    panel_.hide(Im_Chiave1);
    panel_.hide(Im_Chiave2);
    panel_.hide(Im_Pompa1);
    panel_.hide(Im_Pompa2);
    for (Element slot : {Im_NumPos1, Im_NumPos2, Im_NumPos3, Im_NumPos4}) panel_.clearSlot(slot);
}

void Console::Azzera_Timer() {
    constexpr TimerId order[] = {
        Timer_MusicaAvvio, Timer_Semaforo1, Timer_Semaforo2, Timer_Semaforo3, Timer_MusicaErrore,
        Timer_Lampeggio1, Timer_Lampeggio2, Timer_Lampeggio3, Timer_MusicaLivello, Timer_MusicaFine,
        Timer_Continue, Timer_ChiaveOn, Timer_ChiaveOff, Timer_PompaOn, Timer_PompaOff,
        Timer_Pista, Timer_Avversari, Timer_Benzina, Timer_LampeggioBenzina,
    };
    static_assert(std::size(order) == TimerCount, "every game timer is stopped");
    for (TimerId id : order) timers_.disable(id);
}

void Console::hideOpponents() {
    for (int row = 1; row <= 4; ++row)
        for (int lane = 1; lane <= 3; ++lane) panel_.hide(opponentCell(row, lane));
}

void Console::hideServiceStops() {
    panel_.hide(Im_Chiave1);
    panel_.hide(Im_Chiave2);
    panel_.hide(Im_Pompa1);
    panel_.hide(Im_Pompa2);
}

// Ending a game also withdraws a continue offer, so that the next game starts
// cleanly instead of also taking a stale offer.
void Console::endGame() {
    In_Gioco = false;
    Attesa_Continue = false;
}

// Power: any press ends the game at once; the click switches the console.
void Console::Im_OnOffMouseDown(MouseButton button) {
    if (button != MouseButton::Left) return;
    panel_.hide(Im_OnOff);
    Azzera_Timer();
    endGame();
    Silenzio();
}

void Console::Im_OnOffClick() {
    Acceso = !Acceso;
    endGame();
    panel_.setShown(Im_Suoni, Acceso && !Suono_On);
    Azzera_LCD();
    Azzera_Timer();
    Silenzio();
    sound_.keepReady(Acceso);
}

void Console::Im_OnOffMouseUp() { panel_.show(Im_OnOff); }

void Console::Im_SoundMouseDown(MouseButton button) {
    if (button != MouseButton::Left) return;
    panel_.hide(Im_Sound);
    if (!Acceso) return;
    panel_.setShown(Im_Suoni, Suono_On);  // sound about to go off: show the mark
    Silenzio();
    Suono_On = !Suono_On;
    if (Suono_Pronto && Suono_On && timers_.enabled(Timer_Avversari)) Speaker(Tono_Motore);
}

void Console::Im_SoundMouseUp() { panel_.show(Im_Sound); }

void Console::Im_ACLMouseDown(MouseButton button) {
    if (button != MouseButton::Left) return;
    panel_.hide(Im_ACL);
    panel_.show(Im_Completa);  // every segment lit while the key is held
    Azzera_Timer();
    Acceso = false;
    endGame();
    Azzera_LCD();
    Silenzio();
    sound_.keepReady(false);
}

void Console::Im_ACLClick() {
    Acceso = false;
    endGame();
    Suono_On = true;
    panel_.hide(Im_Suoni);
    Azzera_LCD();
    Azzera_Timer();
    Silenzio();
}

void Console::Im_ACLMouseUp() {
    panel_.show(Im_ACL);
    panel_.hide(Im_Completa);
}

void Console::FormMouseDown(MouseButton, int x, int y) {
    Mouse_X = x;
    Mouse_Y = y;
}

// The window follows the pointer's displacement from the anchor, vertical move
// first, with no threshold and no limit to the screen.
void Console::FormMouseMove(bool leftButtonHeld, int x, int y) {
    if (!leftButtonHeld || !window_) return;
    window_->moveWindowBy(x - Mouse_X, y - Mouse_Y);
}

bool Console::firstActivation() {
    if (!Primo_Avvio) return false;
    Primo_Avvio = false;
    return true;
}

void Console::chooseNoSound() {
    Suono_Pronto = false;
    Suono_On = false;
}

void Console::chooseSoundOutput() { Suono_Pronto = true; }

void Console::allowSpeaker(bool on) { Speaker_On = on; }

void Console::soundUnavailable() { Suono_Pronto = false; }

std::uint32_t Console::drawRandom(std::uint32_t bound) {
    random_.reseed(clock_.utcTimeOfDayMs());
    return random_.draw(bound);
}

void Console::onTimer(TimerId id) {
    switch (id) {
        case Timer_Pista: Timer_PistaTimer(); break;
        case Timer_MusicaAvvio: Timer_MusicaAvvioTimer(); break;
        case Timer_Semaforo1: Timer_Semaforo1Timer(); break;
        case Timer_Semaforo2: Timer_Semaforo2Timer(); break;
        case Timer_Semaforo3: Timer_Semaforo3Timer(); break;
        case Timer_Avversari: Timer_AvversariTimer(); break;
        case Timer_MusicaErrore: Timer_MusicaErroreTimer(); break;
        case Timer_Lampeggio1: Timer_Lampeggio1Timer(); break;
        case Timer_Lampeggio2: Timer_Lampeggio2Timer(); break;
        case Timer_Lampeggio3: Timer_Lampeggio3Timer(); break;
        case Timer_MusicaFine: Timer_MusicaFineTimer(); break;
        case Timer_ChiaveOn: Timer_ChiaveOnTimer(); break;
        case Timer_ChiaveOff: Timer_ChiaveOffTimer(); break;
        case Timer_MusicaLivello: Timer_MusicaLivelloTimer(); break;
        case Timer_Continue: Timer_ContinueTimer(); break;
        case Timer_Benzina: Timer_BenzinaTimer(); break;
        case Timer_PompaOn: Timer_PompaOnTimer(); break;
        case Timer_PompaOff: Timer_PompaOffTimer(); break;
        case Timer_LampeggioBenzina: Timer_LampeggioBenzinaTimer(); break;
        case Input_ReleaseHold:  // the key input's timers, not the console's
        case Input_ControlRepeat:
        case Input_PadRepeat:
        case ClockTimerCount: break;
    }
}

}  // namespace vorlak
