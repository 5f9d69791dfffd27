// The console window as a player sees and uses it: what is drawn where, and
// what mouse and keyboard events reach the console.
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QTest>
#include <gtest/gtest.h>

#include "game/bitmap.h"
#include "frontends/qt/window/form1.h"
#include "sound/recording_sound.h"

using namespace vorlak;

namespace {

struct Form1Test : ::testing::Test {
    ManualClock clock;
    RecordingSound sound;
    TForm1 form;
    Handheld handheld{clock, sound, sound, form};
    Console& console = handheld.console();

    void SetUp() override {
        clock.setTickHandler([this](TimerId id) { handheld.tick(id); });
        form.attach(handheld);
        form.move(0, 0);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    QImage screen() { return form.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QPoint centreOf(Element e) {
        const Rect& r = elementInfo(e).rect;
        return {r.left + r.width / 2, r.top + r.height / 2};
    }
    // The black pixels of an element's own picture, in window coordinates.
    std::vector<QPoint> blackPixels(Element e) {
        const QImage* picture = form.pictures().picture(e);
        std::vector<QPoint> out;
        if (!picture) return out;
        const Rect& r = elementInfo(e).rect;
        for (int y = 0; y < picture->height(); ++y)
            for (int x = 0; x < picture->width(); ++x)
                if (qAlpha(picture->pixel(x, y)) == 255) out.emplace_back(r.left + x, r.top + y);
        return out;
    }
    static bool isBlack(QRgb c) { return qRed(c) < 16 && qGreen(c) < 16 && qBlue(c) < 16; }
};

}  // namespace

TEST_F(Form1Test, EveryPictureLoadsAtItsElementsSize) {
    EXPECT_TRUE(form.pictures().problems().isEmpty()) << form.pictures().problems().join("\n").toStdString();
    EXPECT_EQ(form.size(), QSize(461, 738));
    EXPECT_EQ(form.windowTitle(), QString("Vorlak Simulator"));
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
}

TEST_F(Form1Test, ALitSegmentIsBlackOnTheSkinAndAHiddenOneShowsTheSkin) {
    const QImage before = screen();
    const auto pixels = blackPixels(Im_Moto2);
    ASSERT_FALSE(pixels.empty());
    for (const QPoint& p : pixels) ASSERT_FALSE(isBlack(before.pixel(p))) << p.x() << "," << p.y();

    console.panel().show(Im_Moto2);
    const QImage lit = screen();
    for (const QPoint& p : pixels) ASSERT_TRUE(isBlack(lit.pixel(p))) << p.x() << "," << p.y();
    // White in the picture is see-through: the skin stays where the segment is blank.
    const Rect& r = elementInfo(Im_Moto2).rect;
    int unchanged = 0, blank = 0;
    for (int y = r.top; y < r.bottom(); ++y)
        for (int x = r.left; x < r.right(); ++x) {
            if (std::find(pixels.begin(), pixels.end(), QPoint(x, y)) != pixels.end()) continue;
            ++blank;
            unchanged += lit.pixel(x, y) == before.pixel(x, y);
        }
    EXPECT_EQ(unchanged, blank);

    console.panel().hide(Im_Moto2);
    EXPECT_EQ(screen(), before);
}

TEST_F(Form1Test, DigitSlotsDrawTheirTemplateAndNothingWhenCleared) {
    const QImage before = screen();
    console.panel().putTemplate(Im_NumPos3, Im_Num8);
    const QImage eight = screen();
    const Rect& slot = elementInfo(Im_NumPos3).rect;
    const QImage* glyph = form.pictures().picture(Im_Num8);
    ASSERT_TRUE(glyph);
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 11; ++x)
            EXPECT_EQ(isBlack(eight.pixel(slot.left + x, slot.top + y)), qAlpha(glyph->pixel(x, y)) == 255);
    console.panel().clearSlot(Im_NumPos3);
    EXPECT_EQ(screen(), before);
}

TEST_F(Form1Test, TheTestPictureLightsEverySegmentWithoutTouchingOtherElements) {
    console.panel().show(Im_Moto1);
    const QImage before = screen();
    console.panel().show(Im_Completa);
    const QImage all = screen();
    for (int i = 0; i < kDrawnElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        if (elementInfo(e).picture != PictureKind::TwoColour || e == Im_Completa) continue;
        for (const QPoint& p : blackPixels(e)) ASSERT_TRUE(isBlack(all.pixel(p))) << elementInfo(e).name;
    }
    EXPECT_TRUE(console.panel().shown(Im_Moto1));
    EXPECT_FALSE(console.panel().shown(Im_Moto2));
    console.panel().hide(Im_Completa);
    EXPECT_EQ(screen(), before);
}

TEST_F(Form1Test, AHiddenKeyPictureShowsTheLighterSkinKey) {
    const QPoint key = centreOf(Im_OnOff);
    const QRgb up = screen().pixel(key);
    QTest::mousePress(&form, Qt::LeftButton, {}, key);
    const QRgb down = screen().pixel(key);
    EXPECT_GT(qGray(down), qGray(up));
    QTest::mouseRelease(&form, Qt::LeftButton, {}, key);
    EXPECT_EQ(screen().pixel(key), up);
    EXPECT_TRUE(console.state().Acceso);
}

TEST_F(Form1Test, MouseEventsReachTheConsoleThroughTheRouting) {
    QTest::mouseClick(&form, Qt::LeftButton, {}, centreOf(Im_OnOff));
    EXPECT_TRUE(console.state().Acceso);
    EXPECT_TRUE(console.panel().shown(Im_GameOver));

    QTest::mousePress(&form, Qt::LeftButton, {}, centreOf(Im_ACL));
    EXPECT_TRUE(console.panel().shown(Im_Completa));
    QTest::mouseRelease(&form, Qt::LeftButton, {}, centreOf(Im_ACL));
    EXPECT_FALSE(console.panel().shown(Im_Completa));
    EXPECT_FALSE(console.state().Acceso);

    QTest::mousePress(&form, Qt::LeftButton, {}, QPoint(350, 400));  // the START key drags
    EXPECT_EQ(console.state().Mouse_X, 12);
    EXPECT_EQ(console.state().Mouse_Y, 8);
    QTest::mouseRelease(&form, Qt::LeftButton, {}, QPoint(350, 400));
    QTest::mousePress(&form, Qt::RightButton, {}, QPoint(125, 110));  // a blank slot swallows
    EXPECT_EQ(console.state().Mouse_X, 12);
    QTest::mouseRelease(&form, Qt::RightButton, {}, QPoint(125, 110));
}

// As on Wayland, where the screen position of an event equals its window
// position and says nothing of where the window is: clicks hit by the
// event's own window position, and the menu opens at the pointer.
TEST_F(Form1Test, ClicksAndTheMenuGoByTheEventsOwnWindowPosition) {
    form.move(300, 200);
    QTest::qWait(0);
    const auto send = [&](QEvent::Type type, Qt::MouseButton button, QPointF local) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, local, local, button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &event);
    };
    const QPoint power = centreOf(Im_OnOff);
    send(QEvent::MouseButtonPress, Qt::LeftButton, power);
    send(QEvent::MouseButtonRelease, Qt::LeftButton, power);
    EXPECT_TRUE(console.state().Acceso);

    // At 2x a device pixel lies on a half; the one left of the key is not on it.
    const QPointF besideKey(elementInfo(Im_OnOff).rect.left - 0.5, power.y());
    send(QEvent::MouseButtonPress, Qt::LeftButton, besideKey);
    send(QEvent::MouseButtonRelease, Qt::LeftButton, besideKey);
    EXPECT_TRUE(console.state().Acceso);

    QMenu menu;
    menu.addAction(QStringLiteral("About..."));
    form.setPopupMenu(&menu);
    send(QEvent::MouseButtonPress, Qt::RightButton, QPointF(100, 90));
    send(QEvent::MouseButtonRelease, Qt::RightButton, QPointF(100, 90));
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu.isVisible(); }));
    EXPECT_EQ(menu.pos(), QPoint(400, 290));
    menu.hide();
}

TEST_F(Form1Test, ControlStartsAGameAndTheStartKeyLooksPressedUntilAKeyIsReleased) {
    QTest::mouseClick(&form, Qt::LeftButton, {}, centreOf(Im_OnOff));
    QTest::keyPress(&form, Qt::Key_Control);
    EXPECT_TRUE(console.state().In_Gioco);
    EXPECT_FALSE(console.panel().shown(Im_Start));
    QTest::keyRelease(&form, Qt::Key_Control);
    // A plain release is held back briefly (longer on a busy machine).
    EXPECT_TRUE(QTest::qWaitFor([&] { return console.panel().shown(Im_Start); }));
    EXPECT_TRUE(console.state().Tasto_Libero);
}

namespace {
struct PaintCounter : QObject {
    int paints = 0;
    QRegion region;  // of the last paint
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            region = static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }
};
}  // namespace

// Focus shows nowhere on the console: it coming and going (the launcher or a
// menu taking it) repaints nothing, while a segment that lights still does.
TEST_F(Form1Test, FocusComingAndGoingRepaintsNothing) {
    PaintCounter counter;
    form.installEventFilter(&counter);
    QCoreApplication::processEvents();
    counter.paints = 0;
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason), in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(&form, &out);
    QCoreApplication::sendEvent(&form, &in);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    console.panel().show(Im_Moto2);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
}

// The changes of a step far apart on the LCD (a road line at the left, an
// opponent, the road at the right) make one paint of one rectangle, and the
// pictures drawn in part into it give what a whole repaint gives.
TEST_F(Form1Test, TheChangesOfAStepArePaintedAsOneRectangle) {
    PaintCounter counter;
    form.installEventFilter(&counter);
    QCoreApplication::processEvents();
    counter.paints = 0;
    for (Element e : {Im_Linea1sx, Im_Avv13, Im_Linea3dx, Im_OnOff}) console.panel().setShown(e, e != Im_OnOff);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    ASSERT_EQ(counter.region.rectCount(), 1);
    QRect changed;
    for (Element e : {Im_Linea1sx, Im_Avv13, Im_Linea3dx, Im_OnOff}) {
        const Rect& r = elementInfo(e).rect;
        changed |= QRect(r.left, r.top, r.width, r.height);
    }
    EXPECT_EQ(counter.region.boundingRect(), changed);

    QImage part(form.size(), QImage::Format_RGB32);
    part.fill(Qt::magenta);
    form.render(&part, changed.topLeft(), QRegion(changed));
    const QImage whole = screen();
    int differing = 0;
    for (int y = changed.top(); y <= changed.bottom(); ++y)
        for (int x = changed.left(); x <= changed.right(); ++x) differing += part.pixel(x, y) != whole.pixel(x, y);
    EXPECT_EQ(differing, 0);
}

TEST(ToolkitKeys, ArrowsControlLettersAndDigitsAndNothingElse) {
    EXPECT_EQ(TForm1::virtualKey(Qt::Key_Control), 17);
    EXPECT_EQ(TForm1::virtualKey(Qt::Key_Left), 37);
    EXPECT_EQ(TForm1::virtualKey(Qt::Key_Up), 38);
    EXPECT_EQ(TForm1::virtualKey(Qt::Key_Right), 39);
    EXPECT_EQ(TForm1::virtualKey(Qt::Key_Down), 40);
    EXPECT_EQ(TForm1::virtualKey(Qt::Key_A), 'A');
    // Punctuation shares codes 37 to 40 with the arrows in the toolkit: never an arrow.
    for (int key : {Qt::Key_Percent, Qt::Key_Ampersand, Qt::Key_Apostrophe, Qt::Key_ParenLeft, Qt::Key_Space})
        EXPECT_FALSE(TForm1::virtualKey(key) >= 37 && TForm1::virtualKey(key) <= 40) << key;
}
