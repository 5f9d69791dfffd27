// The console's display: every picture element with its place, picture and
// shown flag, the four digit slots, and the operations the rules use on them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace vorlak {

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    int right() const { return left + width; }    // exclusive
    int bottom() const { return top + height; }   // exclusive
    bool contains(int x, int y) const { return x >= left && x < right() && y >= top && y < bottom(); }
    bool operator==(const Rect&) const = default;
};

// Elements in drawing order (later ones are drawn over earlier ones), followed
// by the fourteen character templates, which are never shown.
enum Element : std::uint8_t {
    CoolForm1, Im_Principale, Im_Completa, Im_Sound, Im_ACL, Im_Start, Im_Num00,
    Im_NumPos4, Im_NumPos3, Im_NumPos2, Im_NumPos1, Im_Suoni, Im_OnOff,
    Im_Pompa1, Im_Chiave1, Im_Pompa2, Im_Chiave2,
    Im_Linea1sx, Im_Linea1dx, Im_Linea2sx, Im_Linea2dx, Im_Linea3sx1, Im_Linea3dx,
    Im_GameOver, Im_Cruscotto, Im_Speed1, Im_Speed2, Im_Speed3,
    Im_Fuel1, Im_Fuel2, Im_Fuel3, Im_Errori4, Im_Errori3, Im_Errori2, Im_Errori1,
    Im_Semaforo3, Im_Semaforo2, Im_Semaforo1, Im_Moto1, Im_Moto2, Im_Moto3,
    Im_Avv12, Im_Avv13, Im_Avv23, Im_Avv33, Im_Avv42, Im_Avv41, Im_Avv43,
    Im_Avv32, Im_Avv21, Im_Avv22, Im_Avv11, Im_Linea3sx2, Im_Avv31,
    Sh_Su, Sh_Sx, Sh_Dx, Sh_Giu,
    // templates
    Im_Num0, Im_Num1, Im_Num2, Im_Num3, Im_Num4, Im_Num5, Im_Num6, Im_Num7, Im_Num8, Im_Num9,
    Im_NumL, Im_NumM, Im_NumC, Im_NumN,
    ElementCount
};

constexpr int kDrawnElementCount = Sh_Giu + 1;  // 58 elements on the window
constexpr int kTemplateCount = ElementCount - Im_Num0;  // 14 templates

enum class PictureKind : std::uint8_t { None, Colour, TwoColour };

// What presses on an element do (mouse routing).
enum class MouseRole : std::uint8_t {
    Swallow,  // takes the press, runs nothing
    Drag,     // FormMouseDown / FormMouseMove
    Power,    // Im_OnOff handlers
    Sound,    // Im_Sound handlers
    Reset,    // Im_ACL handlers
};

enum class Cursor : std::uint8_t { Arrow, Hand, Help };

struct ElementInfo {
    std::string_view name;
    Rect rect;
    PictureKind picture;
    bool transparent;
    bool shownAtStart;
    MouseRole mouse;
    Cursor cursor;
    std::string_view hint;  // empty: no hint
};

const ElementInfo& elementInfo(Element e);
std::optional<Element> elementByName(std::string_view name);
bool isTemplate(Element e);
bool isDigitSlot(Element e);

// The console's window: laid out 461 x 585, grown to the skin's height by
// the creation step.
constexpr int kConsoleWidth = 461;
constexpr int kConsoleLaidOutHeight = 585;
constexpr int kConsoleHeight = 738;
constexpr Rect kWindowRect{0, 0, kConsoleWidth, kConsoleHeight};

// The opponent grid row by row, from row 1 (next to the rider) to row 4 (the
// horizon), lanes 1 (left) to 3 (right) within a row.
constexpr std::array<Element, 12> kOpponentGrid = {
    Im_Avv11, Im_Avv12, Im_Avv13, Im_Avv21, Im_Avv22, Im_Avv23,
    Im_Avv31, Im_Avv32, Im_Avv33, Im_Avv41, Im_Avv42, Im_Avv43,
};
constexpr Element opponentGridCell(int row, int lane) { return kOpponentGrid[3 * (row - 1) + (lane - 1)]; }

// The live state of the display: shown flags and the picture each digit slot
// holds. Every visible change is reported, with its rectangle, to the listener.
class Panel {
public:
    using ChangeListener = std::function<void(const Rect&)>;

    Panel();

    void reset();  // every element back to its state at start
    void setChangeListener(ChangeListener listener) { listener_ = std::move(listener); }

    bool shown(Element e) const { return shown_[e]; }
    void setShown(Element e, bool shown);
    void show(Element e) { setShown(e, true); }
    void hide(Element e) { setShown(e, false); }
    void toggle(Element e) { setShown(e, !shown_[e]); }

    // Digit slots: the slot draws a copy of the template's picture, or nothing.
    void putTemplate(Element slot, Element templ);
    void clearSlot(Element slot);
    std::optional<Element> slotPicture(Element slot) const;

    // The picture an element draws: its own, or for a slot the copied template.
    std::optional<Element> pictureOf(Element e) const;

    // Topmost shown element (not a template) whose rectangle holds the point.
    std::optional<Element> elementAt(int x, int y) const;

private:
    void changed(Element e);

    std::array<bool, ElementCount> shown_{};
    std::array<std::optional<Element>, 4> slots_{};
    ChangeListener listener_;
};

}  // namespace vorlak
