#include "game/bitmap.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlak {
namespace {

std::string errorOf(std::string_view text) {
    std::string error;
    EXPECT_FALSE(parsePbm(text, &error).has_value()) << text;
    return error;
}

TEST(ParsePbm, ReadsPlainRowsAsPicture) {
    auto picture = parsePbm("P1\n3 2\n100\n011\n");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 3);
    EXPECT_EQ(picture->height, 2);
    EXPECT_EQ(picture->black, (std::vector<std::uint8_t>{1, 0, 0, 0, 1, 1}));
    EXPECT_TRUE(picture->at(0, 0));
    EXPECT_FALSE(picture->at(1, 0));
    EXPECT_TRUE(picture->at(2, 1));
}

TEST(ParsePbm, AcceptsSpacesBetweenPixelsAndComments) {
    auto picture = parsePbm("P1 # plain\n# size follows\n3 # width\n2\n1 0 0\n0 1\n# mid-data note\n 1\n");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->black, (std::vector<std::uint8_t>{1, 0, 0, 0, 1, 1}));
}

TEST(ParsePbm, ReadsBinaryRowsPaddedToBytes) {
    const std::string text = std::string("P4\n10 2\n") + char(0b10000000) + char(0b01000000) + char(0xFF) +
                             char(0b11000000);
    auto picture = parsePbm(text);
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->black.size(), 20u);
    EXPECT_TRUE(picture->at(0, 0));
    EXPECT_FALSE(picture->at(1, 0));
    EXPECT_TRUE(picture->at(9, 0));
    EXPECT_FALSE(picture->at(8, 0));
    for (int x = 0; x < 10; ++x) EXPECT_TRUE(picture->at(x, 1)) << x;
}

TEST(ParsePbm, OutsideThePictureIsWhite) {
    auto picture = parsePbm("P1 1 1 1");
    ASSERT_TRUE(picture);
    EXPECT_TRUE(picture->at(0, 0));
    EXPECT_FALSE(picture->at(-1, 0));
    EXPECT_FALSE(picture->at(1, 0));
    EXPECT_FALSE(picture->at(0, 1));
}

TEST(ParsePbm, RejectsBadMagic) {
    EXPECT_NE(errorOf("P2\n1 1\n1\n").find("P1"), std::string::npos);
    EXPECT_FALSE(errorOf("").empty());
    EXPECT_FALSE(errorOf("P").empty());
    EXPECT_FALSE(errorOf("p1 1 1 1").empty());
    EXPECT_FALSE(errorOf("P11 1 1").empty());
    EXPECT_FALSE(parsePbm("P9").has_value());  // the error text is optional
}

TEST(ParsePbm, RejectsBadSizes) {
    EXPECT_NE(errorOf("P1\n0 1\n").find("width"), std::string::npos);
    EXPECT_NE(errorOf("P1\n-3 1\n111\n").find("width"), std::string::npos);
    EXPECT_NE(errorOf("P1\nx 1\n1\n").find("width"), std::string::npos);
    EXPECT_NE(errorOf("P1\n2\n").find("height"), std::string::npos);
    EXPECT_NE(errorOf("P1\n2 0\n").find("height"), std::string::npos);
    EXPECT_NE(errorOf("P1\n2 1x\n11\n").find("height"), std::string::npos);
    EXPECT_NE(errorOf("P1\n99999999999999999999 1\n1\n").find("width"), std::string::npos);
}

TEST(ParsePbm, RejectsShortData) {
    const std::string error = errorOf("P1\n3 2\n100\n01\n");
    EXPECT_NE(error.find("short"), std::string::npos) << error;
    EXPECT_NE(error.find("5"), std::string::npos) << error;
    EXPECT_NE(errorOf(std::string("P4\n9 2\n") + char(0) + char(0) + char(0)).find("short"), std::string::npos);
}

TEST(ParsePbm, RejectsTooMuchData) {
    EXPECT_NE(errorOf("P1\n2 2\n10\n011\n").find("too much"), std::string::npos);
}

TEST(ParsePbm, RejectsOtherCharactersThanZeroAndOne) {
    const std::string error = errorOf("P1\n2 2\n10\n2 1\n");
    EXPECT_NE(error.find("'2'"), std::string::npos) << error;
    EXPECT_FALSE(errorOf("P1\n2 1\n1x\n").empty());
    EXPECT_FALSE(errorOf("P1\n2 1\n1.\n").empty());
}

TEST(ToPlainPbm, WritesOneLinePerRowAndReadsBack) {
    auto picture = parsePbm("P1 3 2 1 0 0 0 1 1");
    ASSERT_TRUE(picture);
    const std::string text = toPlainPbm(*picture);
    EXPECT_EQ(text, "P1\n3 2\n100\n011\n");
    auto again = parsePbm(text);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->black, picture->black);
}

}  // namespace
}  // namespace vorlak
