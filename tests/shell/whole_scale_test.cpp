// The multiple the console is drawn at: whole, within the desktop's factor,
// and small enough for the console and the launcher to fit the screen.
#include <gtest/gtest.h>

#include <cstdlib>

#include "frontends/qt/shell/whole_scale.h"

using namespace vorlak;

namespace {
const QSizeF kConsole(461, 738), kLauncher(248, 379);
}

TEST(WholeScale, TheLargestWholeMultipleThatFitsWithinTheDesktopsFactor) {
    // 1366 x 768 at 200 %: the console is 1476 pixels high at 2x.
    EXPECT_EQ(fittingMultiple({1366, 768}, 2, {kConsole, kLauncher}), 1);
    EXPECT_EQ(fittingMultiple({2048, 1476}, 2, {kConsole, kLauncher}), 2);
    EXPECT_EQ(fittingMultiple({2048, 1475}, 2, {kConsole, kLauncher}), 1);
    // 4K at 300 %: 2x is the most that fits.
    EXPECT_EQ(fittingMultiple({3840, 2160}, 3, {kConsole, kLauncher}), 2);
    // Fractional factors round down; a large screen never raises the factor.
    EXPECT_EQ(fittingMultiple({3840, 2160}, 1.5, {kConsole, kLauncher}), 1);
    EXPECT_EQ(fittingMultiple({3840, 2160}, 2.0000000001, {kConsole}), 2);
    // 1x at the least, even where the console does not fit at all.
    EXPECT_EQ(fittingMultiple({800, 600}, 2, {kConsole, kLauncher}), 1);
    EXPECT_EQ(fittingMultiple({2048, 1536}, 0.5, {kConsole}), 1);
    // A window too wide fits no better than one too high.
    EXPECT_EQ(fittingMultiple({921, 2000}, 2, {kConsole}), 1);
}

TEST(WholeScale, TheCorrectiveFactorKeepsThePlayersOwnFactorInIt) {
    EXPECT_DOUBLE_EQ(correctiveScaleFactor(2, 1, 1), 0.5);
    EXPECT_DOUBLE_EQ(correctiveScaleFactor(3, 1, 2) * 3, 2);
    // QT_SCALE_FACTOR=2 on a 1x desktop, on a screen too small for 2x.
    EXPECT_DOUBLE_EQ(correctiveScaleFactor(2, 2, 1), 1);
    // QT_SCALE_FACTOR=1.5: drawn at 1x.
    EXPECT_DOUBLE_EQ(correctiveScaleFactor(1.5, 1.5, 1), 1);
}

// The restarted program puts the player's QT_SCALE_FACTOR back (or none), for
// the programs it starts, and never asks for another restart.
TEST(WholeScale, ARestartedProgramPutsThePlayersFactorBack) {
    setenv("VORLAK_PLAYER_QT_SCALE_FACTOR", "=1.5", 1);
    setenv("QT_SCALE_FACTOR", "0.6666666666666666", 1);
    EXPECT_FALSE(scaleFactorToRestartWith());
    EXPECT_STREQ(std::getenv("QT_SCALE_FACTOR"), "1.5");
    EXPECT_EQ(std::getenv("VORLAK_PLAYER_QT_SCALE_FACTOR"), nullptr);

    setenv("VORLAK_PLAYER_QT_SCALE_FACTOR", "-", 1);
    setenv("QT_SCALE_FACTOR", "0.5", 1);
    EXPECT_FALSE(scaleFactorToRestartWith());
    EXPECT_EQ(std::getenv("QT_SCALE_FACTOR"), nullptr);
}
