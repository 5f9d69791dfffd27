// Starting a game, the start lights, the race loop and the keyboard.
#include <string>

#include "game/console.h"
#include "game/gears.h"

namespace vorlak {

void Console::FormKeyDown(std::uint16_t key) {
    // CTRL runs three separate tests, each on the state the one before left:
    // a press that starts a game or takes the continue offer goes on to try a
    // collection, which finds the rider back in the centre lane and collects
    // nothing. A press that starts a game would also take a continue offer
    // still pending; power and reset withdraw the offer, so none is.
    if (key == kKeyControl) {
        panel_.hide(Im_Start);  // the START key looks pressed until a key is released
        if (!In_Gioco && Acceso) {
            In_Gioco = true;
            Tasto_Libero = true;
            panel_.hide(Im_GameOver);
            Score = 0;
            Livello = 1;
            Prepara_Gioco();
        }
        if (In_Gioco && Attesa_Continue) {
            Score = 0;
            Attesa_Continue = false;
            timers_.disable(Timer_Continue);
            Prepara_Gioco();
        }
        if (In_Gioco && Acceso) {
            // Collect a service stop at the roadside of the rider's lane, spanner first.
            if ((panel_.shown(Im_Chiave1) && Corsia == 1) || (panel_.shown(Im_Chiave2) && Corsia == 3))
                Aggiungi_Vita();
            else if ((panel_.shown(Im_Pompa1) && Corsia == 1) || (panel_.shown(Im_Pompa2) && Corsia == 3))
                Aggiungi_Benzina();
        }
        return;
    }

    if (key != kKeyLeft && key != kKeyRight && key != kKeyUp && key != kKeyDown) return;
    // An arrow acts once per press: the next one needs a key release first.
    if (!Tasto_Libero) return;
    Tasto_Libero = false;
    if (!timers_.enabled(Timer_Pista)) return;  // no race running

    // Each pair of tests moves exactly one lane or one gear.
    switch (key) {
        case kKeyLeft:
            if (Corsia == 2) {
                Corsia = 1;
                panel_.hide(Im_Moto2);
                panel_.show(Im_Moto1);
            } else if (Corsia == 3) {
                Corsia = 2;
                panel_.hide(Im_Moto3);
                panel_.show(Im_Moto2);
            }
            break;
        case kKeyRight:
            if (Corsia == 2) {
                Corsia = 3;
                panel_.hide(Im_Moto2);
                panel_.show(Im_Moto3);
            } else if (Corsia == 1) {
                Corsia = 2;
                panel_.hide(Im_Moto1);
                panel_.show(Im_Moto2);
            }
            break;
        case kKeyUp:
            if (Marcia == 2) {
                panel_.show(Im_Speed3);
                changeSpeed(3);
            } else if (Marcia == 1) {
                panel_.show(Im_Speed2);
                changeSpeed(2);
            }
            break;
        case kKeyDown:
            if (Marcia == 2) {
                panel_.hide(Im_Speed2);
                changeSpeed(1);
            } else if (Marcia == 3) {
                panel_.hide(Im_Speed3);
                changeSpeed(2);
            }
            break;
    }
}

// New intervals restart the countdown of both race timers.
void Console::changeSpeed(int marcia) {
    Marcia = marcia;
    timers_.setInterval(Timer_Pista, gear(marcia).pistaMs);
    timers_.setInterval(Timer_Avversari, gear(marcia).avversariMs);
    Tono_Motore = gear(marcia).tone;
    if (Suono_Pronto && Suono_On) Speaker(Tono_Motore);
}

void Console::FormKeyUp(std::uint16_t) {
    if (!panel_.shown(Im_Start)) panel_.show(Im_Start);
    Tasto_Libero = true;
}

void Console::Prepara_Gioco() {
    Vite = 4;
    for (Element e : {Im_Errori1, Im_Errori2, Im_Errori3, Im_Errori4}) panel_.show(e);
    Corsia = 2;
    panel_.show(Im_Moto2);
    panel_.hide(Im_Moto1);
    panel_.hide(Im_Moto3);
    Livello_Benzina = 3;
    panel_.show(Im_Fuel3);
    panel_.hide(Im_Fuel1);
    panel_.hide(Im_Fuel2);
    timers_.disable(Timer_LampeggioBenzina);
    for (Element e : {Im_Speed1, Im_Speed2, Im_Speed3}) panel_.hide(e);
    for (Element e : {Im_Linea1sx, Im_Linea1dx, Im_Linea2sx, Im_Linea2dx, Im_Linea3sx1, Im_Linea3sx2, Im_Linea3dx})
        panel_.show(e);
    Punti_Livello = 0;
    Traguardo = Livello * 100;
    Suona(Snd_Start);
    Tono_Motore = gear(1).tone;
    timers_.enable(Timer_MusicaAvvio);
}

void Console::Timer_MusicaAvvioTimer() {
    panel_.show(Im_Semaforo3);
    panel_.show(Im_Semaforo2);
    panel_.show(Im_Semaforo1);
    // The display reads: blank, L, dash, level number.
    panel_.clearSlot(Im_NumPos1);
    panel_.putTemplate(Im_NumPos2, Im_NumL);
    panel_.putTemplate(Im_NumPos3, Im_NumM);
    if (Livello >= 0 && Livello <= 9) panel_.putTemplate(Im_NumPos4, digitPicture(Livello));
    panel_.hide(Im_Num00);
    Suona(Snd_Semaph);
    timers_.enable(Timer_Semaforo1);
    timers_.disable(Timer_MusicaAvvio);
}

void Console::Timer_Semaforo1Timer() {
    panel_.hide(Im_Semaforo1);
    timers_.enable(Timer_Semaforo2);
    timers_.disable(Timer_Semaforo1);
}

void Console::Timer_Semaforo2Timer() {
    panel_.hide(Im_Semaforo2);
    timers_.enable(Timer_Semaforo3);
    timers_.disable(Timer_Semaforo2);
}

void Console::Timer_Semaforo3Timer() {
    panel_.hide(Im_Semaforo3);
    timers_.disable(Timer_Semaforo3);
    panel_.clearSlot(Im_NumPos2);
    panel_.clearSlot(Im_NumPos3);
    panel_.clearSlot(Im_NumPos4);
    if (Score != 0) Trasforma_Score(Score);
    panel_.show(Im_Num00);
    Proc_Gioca();
}

void Console::Proc_Gioca() {
    Corsia = 2;
    panel_.hide(Im_Moto1);
    panel_.show(Im_Moto2);
    panel_.hide(Im_Moto3);
    Marcia = 1;
    Tono_Motore = gear(1).tone;
    timers_.setInterval(Timer_Pista, gear(1).pistaMs);
    timers_.setInterval(Timer_Avversari, gear(1).avversariMs);
    panel_.show(Im_Speed1);
    panel_.hide(Im_Speed2);
    panel_.hide(Im_Speed3);
    for (Element e : {Im_Linea3sx1, Im_Linea3sx2, Im_Linea3dx}) panel_.show(e);
    for (Element e : {Im_Linea2sx, Im_Linea2dx, Im_Linea1sx, Im_Linea1dx}) panel_.hide(e);
    timers_.enable(Timer_Pista);
    timers_.enable(Timer_Avversari);
    if (Suono_Pronto && Suono_On) Speaker(Tono_Motore);
    timers_.enable(Timer_Benzina);
    if (Vite < 4) scheduleServiceStop(Timer_ChiaveOn, drawRandom(kSpannerWaitDraw));
    if (Livello_Benzina < 3) scheduleServiceStop(Timer_PompaOn, drawRandom(kPumpWaitDraw));
}

// The track's phase lives only in which dashes are lit; from the state the
// race starts in, one group of dashes runs from the horizon to the rider.
void Console::Timer_PistaTimer() {
    auto copy = [this](Element from, Element to) { panel_.setShown(to, panel_.shown(from)); };
    panel_.toggle(Im_Linea3sx1);
    panel_.toggle(Im_Linea3sx2);
    copy(Im_Linea3sx1, Im_Linea3dx);
    if (!panel_.shown(Im_Linea3sx1) && !panel_.shown(Im_Linea2sx)) {
        panel_.toggle(Im_Linea2sx);
        copy(Im_Linea2sx, Im_Linea2dx);
    }
    if (panel_.shown(Im_Linea3sx1) && panel_.shown(Im_Linea2sx)) {
        panel_.toggle(Im_Linea3sx1);
        panel_.toggle(Im_Linea3sx2);
        copy(Im_Linea3sx1, Im_Linea3dx);
        panel_.toggle(Im_Linea2sx);
        copy(Im_Linea2sx, Im_Linea2dx);
        panel_.toggle(Im_Linea1sx);
        copy(Im_Linea1sx, Im_Linea1dx);
    }
    if (panel_.shown(Im_Linea3sx1) && panel_.shown(Im_Linea1sx)) {
        panel_.toggle(Im_Linea1sx);
        copy(Im_Linea1sx, Im_Linea1dx);
    }
}

void Console::Timer_AvversariTimer() {
    if (panel_.shown(opponentCell(1, Corsia))) {
        Proc_Errore();
        return;
    }
    for (int lane = 1; lane <= 3; ++lane) {
        if (!panel_.shown(opponentCell(1, lane))) continue;
        Score += Marcia;
        Punti_Livello += Marcia;
        Trasforma_Score(Score);
        // Tested after every scored cell, so one event can clear a level twice.
        if (Punti_Livello >= Traguardo) {
            Score = (Score / 100) * 100;
            Trasforma_Score(Score);
            Cambia_Livello();
        }
    }
    for (int row = 1; row <= 3; ++row)
        for (int lane = 1; lane <= 3; ++lane)
            panel_.setShown(opponentCell(row, lane), panel_.shown(opponentCell(row + 1, lane)));
    const std::uint32_t pattern = drawRandom(patternDrawBound(Marcia));
    for (int lane = 1; lane <= 3; ++lane)
        panel_.setShown(opponentCell(4, lane), Schemi_Avversari[3 * pattern + (lane - 1)] == 1);
}

void Console::Trasforma_Score(const std::int32_t& value) {
    std::string text = std::to_string(value);
    if (text.size() < 4) text.insert(0, 4 - text.size(), ' ');
    for (int k = 1; k <= 4; ++k) {
        const Element slot = digitSlot(k);
        const char c = text[k - 1];
        if (c >= '0' && c <= '9')
            panel_.putTemplate(slot, digitPicture(c - '0'));
        else
            panel_.clearSlot(slot);
    }
}

}  // namespace vorlak
