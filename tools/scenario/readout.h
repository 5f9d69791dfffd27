// The LCD as a player reads it, in text: the digit slots, the number shown,
// the opponent grid and the rider's lane.
#pragma once

#include <string>

#include "game/panel.h"

namespace vorlak::scenario {

// What a digit slot holds, as one character: '0'-'9', 'L', '-', 'C', 'N', or '_'.
char slotChar(const Panel& panel, Element slot);

// The four slots left to right, e.g. "_ L - 1".
std::string slotsText(const Panel& panel);

// The number as a player reads it: the lit slots followed by the fixed zeros
// when they are shown, e.g. "1500", "L-1", "C0N", "00".
std::string readout(const Panel& panel);

// The opponent rows far to near, lanes left to right, 'X' lit: "... .X. ... X.X".
std::string gridText(const Panel& panel);

// The lanes whose rider is shown, e.g. "2", or "none".
std::string riderText(const Panel& panel);

}  // namespace vorlak::scenario
