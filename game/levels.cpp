// Clearing a level, the game over and the continue offer.
#include "game/console.h"

namespace vorlak {

// The scene stays frozen on the display through the level tune.
void Console::Cambia_Livello() {
    stopRaceTimers();
    Silenzio();
    Suona(Snd_Level);
    timers_.enable(Timer_MusicaLivello);
}

void Console::Timer_MusicaLivelloTimer() {
    hideServiceStops();
    hideOpponents();
    Livello += 1;
    if (Livello == 6)
        Game_Over();  // all five levels cleared
    else
        Prepara_Gioco();
    timers_.disable(Timer_MusicaLivello);
}

void Console::Game_Over() {
    Silenzio();
    Suona(Snd_GameOver);
    timers_.enable(Timer_MusicaFine);
}

void Console::Timer_MusicaFineTimer() {
    if (Livello >= 6) {
        endGame();
        Azzera_LCD();
        Azzera_Timer();
        return;
    }
    // The continue offer: blank, C, 0, N.
    Attesa_Continue = true;
    panel_.clearSlot(Im_NumPos1);
    panel_.putTemplate(Im_NumPos2, Im_NumC);
    panel_.putTemplate(Im_NumPos3, digitPicture(0));
    panel_.putTemplate(Im_NumPos4, Im_NumN);
    panel_.hide(Im_Num00);
    timers_.disable(Timer_MusicaFine);
    timers_.enable(Timer_Continue);
}

void Console::Timer_ContinueTimer() {
    endGame();
    Azzera_LCD();
    Azzera_Timer();
    timers_.disable(Timer_Continue);
}

}  // namespace vorlak
