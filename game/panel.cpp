#include "game/panel.h"

namespace vorlak {
namespace {

using P = PictureKind;
using M = MouseRole;
using C = Cursor;

// name, {left, top, width, height}, picture, transparent, shown at start, mouse, cursor, hint
constexpr ElementInfo kCatalogue[ElementCount] = {
    {"CoolForm1", {0, 0, 461, 585}, P::None, false, false, M::Swallow, C::Arrow, ""},
    {"Im_Principale", {0, 0, 461, 738}, P::Colour, false, true, M::Drag, C::Arrow, ""},
    {"Im_Completa", {129, 101, 201, 152}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Sound", {240, 475, 34, 38}, P::Colour, false, true, M::Sound, C::Hand, "Click to turn sound on/off"},
    {"Im_ACL", {288, 475, 34, 38}, P::Colour, false, true, M::Reset, C::Hand, "Click to reset the game"},
    {"Im_Start", {338, 392, 79, 75}, P::Colour, false, true, M::Drag, C::Help,
     "Press 'CTRL' key to start or for ingame functions"},
    {"Im_Num00", {174, 105, 24, 19}, P::TwoColour, true, false, M::Drag, C::Arrow, ""},
    {"Im_NumPos4", {161, 105, 11, 19}, P::None, true, true, M::Swallow, C::Arrow, ""},
    {"Im_NumPos3", {148, 105, 11, 19}, P::None, true, true, M::Swallow, C::Arrow, ""},
    {"Im_NumPos2", {135, 105, 11, 19}, P::None, true, true, M::Swallow, C::Arrow, ""},
    {"Im_NumPos1", {121, 105, 11, 19}, P::None, true, true, M::Swallow, C::Arrow, ""},
    {"Im_Suoni", {132, 133, 21, 20}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_OnOff", {195, 475, 34, 38}, P::Colour, false, true, M::Power, C::Hand, "Click to turn game on/off"},
    {"Im_Pompa1", {130, 173, 24, 27}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Chiave1", {155, 170, 8, 19}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Pompa2", {302, 209, 26, 27}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Chiave2", {293, 210, 8, 21}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Linea1sx", {134, 217, 18, 23}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Linea1dx", {278, 225, 11, 23}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Linea2sx", {153, 193, 20, 22}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Linea2dx", {271, 198, 8, 24}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Linea3sx1", {216, 138, 33, 20}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Linea3dx", {268, 137, 10, 46}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_GameOver", {292, 177, 38, 31}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Cruscotto", {219, 101, 67, 29}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Speed1", {202, 110, 15, 16}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Speed2", {214, 103, 16, 13}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Speed3", {230, 103, 16, 9}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Fuel1", {254, 110, 7, 10}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Fuel2", {268, 106, 2, 11}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Fuel3", {277, 110, 6, 9}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Errori4", {289, 107, 39, 18}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Errori3", {311, 102, 16, 15}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Errori2", {308, 111, 6, 5}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Errori1", {292, 105, 14, 3}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Semaforo3", {158, 135, 15, 31}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Semaforo2", {163, 147, 5, 6}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Semaforo1", {163, 139, 5, 6}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Moto1", {141, 224, 38, 29}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Moto2", {190, 221, 34, 32}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Moto3", {237, 222, 37, 30}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Avv12", {205, 198, 28, 33}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Avv13", {242, 197, 31, 28}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Avv23", {244, 171, 20, 28}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Avv33", {254, 151, 14, 24}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Avv42", {250, 132, 16, 21}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Avv41", {250, 132, 16, 21}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Avv43", {250, 132, 16, 21}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Avv32", {235, 150, 16, 26}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Avv21", {192, 175, 21, 30}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Avv22", {219, 178, 19, 31}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Avv11", {161, 193, 32, 30}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Im_Linea3sx2", {183, 161, 28, 24}, P::TwoColour, true, false, M::Drag, C::Arrow, ""},
    {"Im_Avv31", {213, 157, 18, 26}, P::TwoColour, true, false, M::Swallow, C::Arrow, ""},
    {"Sh_Su", {96, 386, 31, 38}, P::None, false, true, M::Drag, C::Help, "Use up-arrow key to accelerate"},
    {"Sh_Sx", {58, 425, 38, 31}, P::None, false, true, M::Drag, C::Help, "Use left-arrow key to move left"},
    {"Sh_Dx", {129, 425, 38, 31}, P::None, false, true, M::Drag, C::Help, "Use right-arrow key to move right"},
    {"Sh_Giu", {96, 457, 31, 38}, P::None, false, true, M::Drag, C::Help, "Use down-arrow key to brake"},
    // Character templates: never shown, no place on the window.
    {"Im_Num0", {0, 0, 11, 19}, P::TwoColour, false, false, M::Swallow, C::Arrow, ""},
    {"Im_Num1", {0, 0, 11, 19}, P::TwoColour, false, false, M::Swallow, C::Arrow, ""},
    {"Im_Num2", {0, 0, 11, 19}, P::TwoColour, false, false, M::Swallow, C::Arrow, ""},
    {"Im_Num3", {0, 0, 11, 19}, P::TwoColour, false, false, M::Swallow, C::Arrow, ""},
    {"Im_Num4", {0, 0, 11, 19}, P::TwoColour, false, false, M::Swallow, C::Arrow, ""},
    {"Im_Num5", {0, 0, 11, 19}, P::TwoColour, false, false, M::Swallow, C::Arrow, ""},
    {"Im_Num6", {0, 0, 11, 19}, P::TwoColour, false, false, M::Swallow, C::Arrow, ""},
    {"Im_Num7", {0, 0, 11, 19}, P::TwoColour, false, false, M::Swallow, C::Arrow, ""},
    {"Im_Num8", {0, 0, 11, 19}, P::TwoColour, false, false, M::Swallow, C::Arrow, ""},
    {"Im_Num9", {0, 0, 11, 19}, P::TwoColour, false, false, M::Swallow, C::Arrow, ""},
    {"Im_NumL", {0, 0, 11, 19}, P::TwoColour, false, false, M::Swallow, C::Arrow, ""},
    {"Im_NumM", {0, 0, 11, 19}, P::TwoColour, false, false, M::Swallow, C::Arrow, ""},
    {"Im_NumC", {0, 0, 11, 19}, P::TwoColour, false, false, M::Swallow, C::Arrow, ""},
    {"Im_NumN", {0, 0, 11, 19}, P::TwoColour, false, false, M::Swallow, C::Arrow, ""},
};

int slotIndex(Element slot) { return Im_NumPos1 - slot; }  // NumPos1 -> 0 ... NumPos4 -> 3

}  // namespace

const ElementInfo& elementInfo(Element e) { return kCatalogue[e]; }

std::optional<Element> elementByName(std::string_view name) {
    for (int i = 0; i < ElementCount; ++i)
        if (kCatalogue[i].name == name) return static_cast<Element>(i);
    return std::nullopt;
}

bool isTemplate(Element e) { return e >= Im_Num0 && e < ElementCount; }
bool isDigitSlot(Element e) { return e >= Im_NumPos4 && e <= Im_NumPos1; }

Panel::Panel() { reset(); }

void Panel::reset() {
    for (int i = 0; i < ElementCount; ++i) shown_[i] = kCatalogue[i].shownAtStart;
    slots_ = {};
    if (listener_) listener_(kWindowRect);
}

void Panel::changed(Element e) {
    if (listener_) listener_(kCatalogue[e].rect);
}

void Panel::setShown(Element e, bool shown) {
    if (shown_[e] == shown) return;
    shown_[e] = shown;
    changed(e);
}

void Panel::putTemplate(Element slot, Element templ) {
    if (!isDigitSlot(slot) || !isTemplate(templ)) return;
    auto& held = slots_[slotIndex(slot)];
    if (held == templ) return;
    held = templ;
    if (shown_[slot]) changed(slot);
}

void Panel::clearSlot(Element slot) {
    if (!isDigitSlot(slot)) return;
    auto& held = slots_[slotIndex(slot)];
    if (!held) return;
    held.reset();
    if (shown_[slot]) changed(slot);
}

std::optional<Element> Panel::slotPicture(Element slot) const {
    if (!isDigitSlot(slot)) return std::nullopt;
    return slots_[slotIndex(slot)];
}

std::optional<Element> Panel::pictureOf(Element e) const {
    if (isDigitSlot(e)) return slotPicture(e);
    if (kCatalogue[e].picture == PictureKind::None) return std::nullopt;
    return e;
}

std::optional<Element> Panel::elementAt(int x, int y) const {
    for (int i = kDrawnElementCount - 1; i >= 0; --i)
        if (shown_[i] && kCatalogue[i].rect.contains(x, y)) return static_cast<Element>(i);
    return std::nullopt;
}

}  // namespace vorlak
