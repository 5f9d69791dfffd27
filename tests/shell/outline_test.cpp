// The console's outline block and the shaped-window component that loads it.
#include <QBuffer>
#include <QFile>
#include <QFrame>
#include <QWindow>
#include <QtEndian>
#include <gtest/gtest.h>

#include "frontends/qt/shell/cool_form.h"

using namespace vorlak;

namespace {

QByteArray consoleBlock() {
    QFile file(QStringLiteral(":/outline/CoolForm1.Mask2.bin"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint32 int32At(const QByteArray& block, int offset) { return qFromLittleEndian<qint32>(block.constData() + offset); }
void setInt32At(QByteArray& block, int offset, qint32 value) { qToLittleEndian(value, block.data() + offset); }

// A form with its component, as the program builds the console window.
struct ShapedForm {
    QWidget form;
    TCoolForm* cool = new TCoolForm();
    ShapedForm() { cool->assignParent(&form); }
    void load(const QByteArray& block) {
        QBuffer buffer;
        buffer.setData(block);
        buffer.open(QIODevice::ReadOnly);
        cool->readMask(buffer);
    }
    // The outline the window system was given for the form.
    QRegion windowOutline() const {
        const QWindow* handle = form.windowHandle();
        return handle ? handle->mask() : QRegion();
    }
    QByteArray written() const {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        cool->writeMask(buffer);
        return buffer.data();
    }
};

}  // namespace

TEST(ConsoleOutline, HoldsTheSilhouetteOfTheHandheld) {
    const QByteArray block = consoleBlock();
    ASSERT_EQ(block.size(), 1188);
    EXPECT_EQ(int32At(block, 0), 1184);   // N
    EXPECT_EQ(int32At(block, 4), 32);     // header size
    EXPECT_EQ(int32At(block, 8), 1);      // rectangles
    EXPECT_EQ(int32At(block, 12), 72);    // count
    EXPECT_EQ(int32At(block, 16), 1152);  // list size
    EXPECT_EQ(int32At(block, 20), 2);     // bounds
    EXPECT_EQ(int32At(block, 24), 1);
    EXPECT_EQ(int32At(block, 28), 462);
    EXPECT_EQ(int32At(block, 32), 738);

    ShapedForm shaped;
    shaped.load(block);
    ASSERT_TRUE(shaped.cool->maskHolder().region);
    const QRegion outline = *shaped.cool->maskHolder().region;
    EXPECT_EQ(shaped.windowOutline(), outline);  // applied to the form at once
    for (const QPoint p : {QPoint(0, 0), QPoint(1, 300), QPoint(440, 736), QPoint(460, 737), QPoint(230, 0),
                           QPoint(40, 1), QPoint(41, 1), QPoint(40, 2), QPoint(421, 1), QPoint(422, 1),
                           QPoint(421, 2), QPoint(2, 713), QPoint(21, 737), QPoint(350, 737)})
        EXPECT_FALSE(outline.contains(p)) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(230, 400), QPoint(2, 19), QPoint(460, 659), QPoint(41, 2), QPoint(422, 2),
                           QPoint(2, 712), QPoint(22, 737), QPoint(349, 737)})
        EXPECT_TRUE(outline.contains(p)) << p.x() << "," << p.y();
}

TEST(ConsoleOutline, WritingItBackGivesTheSameBytes) {
    ShapedForm shaped;
    shaped.load(consoleBlock());
    EXPECT_EQ(shaped.written(), consoleBlock());
}

TEST(OutlineBlock, FourZeroBytesMeanNoOutline) {
    ShapedForm shaped;
    shaped.load(QByteArray(4, '\0'));
    EXPECT_FALSE(shaped.cool->maskHolder().region);
    EXPECT_TRUE(shaped.windowOutline().isEmpty());  // rectangular
    EXPECT_EQ(shaped.written(), QByteArray(4, '\0'));
}

// Each damaged block leaves the form rectangular and is never read past its end.
TEST(OutlineBlock, ADamagedBlockGivesARectangularWindow) {
    const QByteArray good = consoleBlock();
    ASSERT_EQ(good.size(), 1188);
    struct Damage {
        const char* what;
        QByteArray block;
    };
    std::vector<Damage> damaged;
    auto edited = [&](const char* what, int offset, qint32 value) {
        QByteArray block = good;
        setInt32At(block, offset, value);
        damaged.push_back({what, block});
    };
    damaged.push_back({"size beyond the data", good.left(600)});
    edited("size of 4 GiB - 1", 0, -1);
    edited("size smaller than the header", 0, 16);
    edited("header size not 32", 4, 40);
    edited("not a rectangle list", 8, 2);
    edited("count larger than the list", 12, 73);
    edited("count smaller than the list", 12, 71);
    edited("count negative", 12, -1);
    edited("zero-width rectangle", 36 + 8, 15);   // right = left of the first rectangle
    edited("inverted rectangle", 36 + 12, 0);      // bottom above top
    edited("coordinate beyond 16 bits", 36 + 8, 70000);
    damaged.push_back({"shorter than the size field", QByteArray(3, '\0')});
    damaged.push_back({"empty", QByteArray()});

    for (const Damage& d : damaged) {
        ShapedForm shaped;
        shaped.load(d.block);
        EXPECT_FALSE(shaped.cool->maskHolder().region) << d.what;
        EXPECT_TRUE(shaped.windowOutline().isEmpty()) << d.what;
    }
}

TEST(CoolForm, StaysAtTheTopLeftCornerAndTakesItsSize) {
    ShapedForm shaped;
    shaped.cool->setTop(37);
    shaped.cool->setLeft(-12);
    shaped.cool->setWidth(461);
    shaped.cool->setHeight(585);
    EXPECT_EQ(shaped.cool->top(), 0);
    EXPECT_EQ(shaped.cool->left(), 0);
    EXPECT_EQ(shaped.cool->width(), 461);
    EXPECT_EQ(shaped.cool->height(), 585);
    EXPECT_TRUE(shaped.form.windowFlags() & Qt::FramelessWindowHint);
    shaped.cool->assignParent(nullptr);
    EXPECT_EQ(shaped.cool->pos(), QPoint(0, 0));
    delete shaped.cool;
}

TEST(CoolForm, RefusesAParentThatIsNotAForm) {
    QWidget form;
    auto* panel = new QFrame(&form);
    TCoolForm cool;
    try {
        cool.assignParent(panel);
        FAIL() << "no error";
    } catch (const CoolFormError& error) {
        EXPECT_STREQ(error.what(), "Drop the CoolForm on a FORM!");
    }
    cool.setParent(nullptr);
}

