// The script format as the tool's --help prints it.
#include "tools/scenario/scenario.h"

namespace vorlak::scenario {
namespace {

constexpr std::string_view kHelp = R"help(vorlak-scenario: plays the console in virtual time from a script.

Usage: vorlak-scenario [--trace] [SCRIPT]     (no SCRIPT, or "-": read stdin)
Exit status: 0 when every expectation held, 1 on a failed expectation,
2 on a script error. A failure names the script line.

The console is created and left switched off, with no sound bank opened
(as after choosing "(no sound)"). Virtual time starts at 0 ms; the time of
day that the random reseed reads starts at 00:00:00.000. One command per
line; '#' starts a comment. Commands run at the current virtual time: every
timer tick due at or before that time has already fired.

Setup
  time HH:MM:SS[.mmm] | time MS   set the UTC time of day at this instant
  choose-time FROM draw AT BOUND VALUE[-MAX] [draw ...]
                        set the first time of day at or after FROM that makes
                        the draw made at virtual time AT (ms; +N = now + N)
                        with BOUND give VALUE (or VALUE to MAX), for every
                        listed draw. Opponent rows are drawn at each opponent
                        step with bound 12, 10 or 8 (patterns 6 and up are
                        empty); a service stop's side with bound 2 (0 left)
  bank 1|2              press the launcher's PLAY with Windows MM (1) or
                        DirectSound (2) and no system chosen: the sample bank
                        opens (its loading calls are not checked)
  play SOUND SYSTEM     press PLAY with these list positions (-1: none):
                        SOUND 0 Windows MM, 1 DirectSound, 2 (no sound);
                        SYSTEM 0 "95, 98, ME, NT" (engine tone), 1 "2000"
  speaker on|off        let the engine tone sound (Speaker_On)
  set VAR VALUE         set a state variable (0/1 for flags)
  show ELEMENT | hide ELEMENT   set an element's shown flag

Console keys (mouse on the picture buttons, left button)
  power|reset [click|down|release|release-outside|double|right]
  sound [click|down|release|release-outside|double|right]
      click (default): press and release inside; down: press only;
      release: release inside (runs the click handler first);
      release-outside: release with no click; double: a double click;
      right: a right-button press and release

Keyboard (KEY: ctrl left right up down shift space enter esc f1-f12,
a letter or digit, or vkNN for any virtual key code)
  press KEY             key down (pressing a held key again is a key repeat)
  release KEY           key up
  tap KEY               key down then key up
  hold KEY MS [DELAY [RATE]]   key down now, repeated key-downs DELAY ms
                        later (default 500) and then every RATE ms (default
                        33), one key up MS later; time advances by MS

Time
  wait MS               advance virtual time by MS
  at MS                 advance to virtual time MS
  until COND [within MS]  advance tick by tick until COND holds; fails after
                        MS (default 600000)
  clear-road on|off     test aid: hide every opponent after every tick, so
                        that no crash and no points come while keys are tried
  autopilot on [GEAR] [nocollect] | off   after every tick of a race: keep
                        the gear, collect any service stop shown (unless
                        nocollect), and leave a lane whose nearest opponent
                        cell is lit

Reports
  print [lcd|vars|timers|sound|all]   (default lcd)
  trace on|off          print every tick and key as it happens
  echo TEXT

Expectations: expect COND
  shown ELEMENT...      hidden ELEMENT...
  slots A B C D         digit slots left to right: 0-9 L - C N, _ blank
  reads TEXT            lit slots then the fixed zeros if shown ("1500", "L-1")
  grid R4 R3 R2 R1      opponent rows far to near, lanes left to right,
                        'X' lit, '.' dark, e.g. grid ... .X. ... X.X
  rider LANE|none       exactly one rider shown, in LANE
  var VAR VALUE         timer TIMER on|off [INTERVAL]     time MS
  tone DIVISOR|off      the engine tone now
  sound CALL            CALL was made since the last sound check
  no-sound CALL         CALL was not made since the last sound check
  sound-now CALL        CALL was made at the current millisecond
  sounds CALL; CALL...  exactly these calls since the last sound check
  silence               no call since the last sound check
  Sound calls read: play Start.wav, stop all, tone 59664, tone off, ...
  A sound check moves the check point to now.

Example: a new game's start sequence
  bank 1
  speaker on
  power
  time 12:00:00.000
  tap ctrl
  expect sound play Start.wav
  at 4125
  expect shown Im_Semaforo1 Im_Semaforo2 Im_Semaforo3
  expect slots _ L - 1
  expect sound-now play Semaph.wav
  at 7606
  expect shown Im_Semaforo3
  at 7607
  expect hidden Im_Semaforo3
  expect rider 2
  expect reads 00
  expect tone 59664
  expect timer Timer_Avversari on 600
)help";

}  // namespace

std::string_view scriptHelp() { return kHelp; }

}  // namespace vorlak::scenario
