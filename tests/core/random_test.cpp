#include <gtest/gtest.h>

#include <set>

#include "game/random.h"

using vorlak::RandomDraw;

TEST(RandomDraw, FollowsTheLinearCongruentialRule) {
    RandomDraw r;
    r.reseed(1000);  // 00:00:01.000
    // 1000 * 134775813 + 1 = 134775813001 = 31 * 2^32 + 1631826825
    EXPECT_EQ(r.draw(12), 4u);  // 1631826825 * 12 / 2^32 = 4.56
    EXPECT_EQ(r.seed(), 1631826825u);
}

TEST(RandomDraw, StaysWithinTheBoundAndCoversIt) {
    RandomDraw r;
    std::set<std::uint32_t> seen;
    for (std::uint32_t ms = 0; ms < 2000; ++ms) {
        r.reseed(ms);
        const auto v = r.draw(26);
        ASSERT_LT(v, 26u);
        seen.insert(v);
    }
    EXPECT_EQ(seen.size(), 26u);
    r.reseed(0);
    EXPECT_EQ(r.draw(1), 0u);
}
