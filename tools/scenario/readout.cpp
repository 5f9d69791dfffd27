#include "tools/scenario/readout.h"

namespace vorlak::scenario {

char slotChar(const Panel& panel, Element slot) {
    const auto pic = panel.slotPicture(slot);
    if (!pic) return '_';
    if (*pic >= Im_Num0 && *pic <= Im_Num9) return static_cast<char>('0' + (*pic - Im_Num0));
    switch (*pic) {
        case Im_NumL: return 'L';
        case Im_NumM: return '-';
        case Im_NumC: return 'C';
        case Im_NumN: return 'N';
        default: return '?';
    }
}

std::string slotsText(const Panel& panel) {
    std::string out;
    for (Element slot : {Im_NumPos1, Im_NumPos2, Im_NumPos3, Im_NumPos4}) {
        if (!out.empty()) out += ' ';
        out += panel.shown(slot) ? slotChar(panel, slot) : '_';
    }
    return out;
}

std::string readout(const Panel& panel) {
    std::string out;
    for (Element slot : {Im_NumPos1, Im_NumPos2, Im_NumPos3, Im_NumPos4}) {
        const char c = panel.shown(slot) ? slotChar(panel, slot) : '_';
        if (c != '_') out += c;
    }
    if (panel.shown(Im_Num00)) out += "00";
    return out;
}

std::string gridText(const Panel& p) {
    std::string out;
    for (int row = 4; row >= 1; --row) {
        if (row != 4) out += ' ';
        for (int lane = 1; lane <= 3; ++lane) out += p.shown(opponentGridCell(row, lane)) ? 'X' : '.';
    }
    return out;
}

std::string riderText(const Panel& p) {
    std::string lanes;
    for (Element e : {Im_Moto1, Im_Moto2, Im_Moto3})
        if (p.shown(e)) lanes += (lanes.empty() ? "" : ",") + std::to_string(e - Im_Moto1 + 1);
    return lanes.empty() ? "none" : lanes;
}

}  // namespace vorlak::scenario
