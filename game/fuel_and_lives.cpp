// Fuel, the roadside service stops, crashes and lives.
#include "game/console.h"

namespace vorlak {

void Console::scheduleServiceStop(TimerId on, std::uint32_t drawnSeconds) {
    timers_.setInterval(on, static_cast<int>(drawnSeconds + 10) * 1000);
    timers_.enable(on);
}

void Console::stopRaceTimers() {
    for (TimerId id : {Timer_Pista, Timer_Avversari, Timer_Benzina, Timer_ChiaveOn, Timer_ChiaveOff,
                       Timer_PompaOn, Timer_PompaOff})
        timers_.disable(id);
}

void Console::Timer_BenzinaTimer() {
    Livello_Benzina -= 1;
    // The fuel step reseeds whether or not it draws. That is no slip: every
    // draw reseeds first, so a reseed that no draw follows leaves no trace,
    // and the draw here still comes right after its reseed.
    random_.reseed(clock_.utcTimeOfDayMs());
    if (!timers_.enabled(Timer_PompaOn)) scheduleServiceStop(Timer_PompaOn, random_.draw(kPumpWaitDraw));
    switch (Livello_Benzina) {
        case 0:
            Azzera_Timer();
            Game_Over();
            break;
        case 1:
            panel_.hide(Im_Fuel2);
            panel_.show(Im_Fuel1);
            timers_.enable(Timer_LampeggioBenzina);
            break;
        case 2:
            panel_.hide(Im_Fuel3);
            panel_.show(Im_Fuel2);
            break;
        default: break;
    }
}

void Console::Timer_LampeggioBenzinaTimer() { panel_.toggle(Im_Fuel1); }

// A service stop shows at one roadside, drawn, for 4 s; once it is gone
// the next one is scheduled.
void Console::serviceStopOn(TimerId on, TimerId off, Element left, Element right) {
    panel_.show(drawRandom(2) == 0 ? left : right);
    Suona(Snd_Srvc1);
    timers_.disable(on);
    timers_.enable(off);
}

void Console::serviceStopOff(TimerId on, TimerId off, Element left, Element right, std::uint32_t waitDraw) {
    panel_.hide(left);
    panel_.hide(right);
    timers_.disable(off);
    scheduleServiceStop(on, drawRandom(waitDraw));
}

void Console::Timer_PompaOnTimer() { serviceStopOn(Timer_PompaOn, Timer_PompaOff, Im_Pompa1, Im_Pompa2); }
void Console::Timer_PompaOffTimer() { serviceStopOff(Timer_PompaOn, Timer_PompaOff, Im_Pompa1, Im_Pompa2, kPumpWaitDraw); }
void Console::Timer_ChiaveOnTimer() { serviceStopOn(Timer_ChiaveOn, Timer_ChiaveOff, Im_Chiave1, Im_Chiave2); }
void Console::Timer_ChiaveOffTimer() {
    serviceStopOff(Timer_ChiaveOn, Timer_ChiaveOff, Im_Chiave1, Im_Chiave2, kSpannerWaitDraw);
}

// Counters are not capped: above 4 lives the indicator simply stays full.
void Console::Aggiungi_Vita() {
    panel_.hide(Im_Chiave1);
    panel_.hide(Im_Chiave2);
    Vite += 1;
    Suona(Snd_Srvc2);
    switch (Vite) {
        case 2: panel_.show(Im_Errori3); break;
        case 3: panel_.show(Im_Errori2); break;
        case 4: panel_.show(Im_Errori1); break;
        default: break;
    }
}

void Console::Aggiungi_Benzina() {
    panel_.hide(Im_Pompa1);
    panel_.hide(Im_Pompa2);
    Livello_Benzina += 1;
    Suona(Snd_Srvc2);
    switch (Livello_Benzina) {
        case 2:
            timers_.disable(Timer_LampeggioBenzina);
            panel_.hide(Im_Fuel1);
            panel_.show(Im_Fuel2);
            break;
        case 3:
            panel_.hide(Im_Fuel2);
            panel_.show(Im_Fuel3);
            timers_.disable(Timer_PompaOn);
            break;
        default: break;
    }
}

void Console::Proc_Errore() {
    stopRaceTimers();
    hideServiceStops();
    Silenzio();
    Suona(Snd_Miss);
    timers_.enable(Timer_MusicaErrore);
}

void Console::showRiderInLane() {
    if (Corsia == 1) panel_.show(Im_Moto1);
    if (Corsia == 2) panel_.show(Im_Moto2);
    if (Corsia == 3) panel_.show(Im_Moto3);
}

// The crash blink: rider off at 500 ms, on at 1000, off at 1500, on at 2000.
void Console::Timer_MusicaErroreTimer() {
    for (Element e : {Im_Moto1, Im_Moto2, Im_Moto3}) panel_.hide(e);
    timers_.disable(Timer_MusicaErrore);
    timers_.enable(Timer_Lampeggio1);
}

void Console::Timer_Lampeggio1Timer() {
    showRiderInLane();
    timers_.disable(Timer_Lampeggio1);
    timers_.enable(Timer_Lampeggio2);
}

void Console::Timer_Lampeggio2Timer() {
    for (Element e : {Im_Moto1, Im_Moto2, Im_Moto3}) panel_.hide(e);
    timers_.disable(Timer_Lampeggio2);
    timers_.enable(Timer_Lampeggio3);
}

void Console::Timer_Lampeggio3Timer() {
    showRiderInLane();
    hideOpponents();
    timers_.disable(Timer_Lampeggio3);
    Togli_Vita();
}

void Console::Togli_Vita() {
    Vite -= 1;
    switch (Vite) {
        case 3: panel_.hide(Im_Errori1); break;
        case 2: panel_.hide(Im_Errori2); break;
        case 1: panel_.hide(Im_Errori3); break;
        default: break;
    }
    if (Vite == 0)
        Game_Over();
    else
        Proc_Gioca();
}

}  // namespace vorlak
