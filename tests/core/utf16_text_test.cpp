#include "utf16_text.h"

#include <gtest/gtest.h>

using namespace pelmora;

TEST(Utf16Text, SurrogatePairIsOneCharacter) {
    EXPECT_EQ(Utf8FromUtf16(u"12\u20ac\U0001F60034"), "12\u20ac\U0001F60034");
    EXPECT_EQ(Utf16FromUtf8("12\u20ac\U0001F60034"), u"12\u20ac\U0001F60034");
}

TEST(Utf16Text, LoneSurrogatesSurviveTheRoundTrip) {
    // What a field holds between the two halves of a typed emoji, and worse.
    for (std::u16string text : {u"12\xD83D",
                                u"\xDE00"
                                "34",
                                u"\xD83D\xD83D"
                                "1",
                                u"a\xDC00\xD800"}) {
        EXPECT_EQ(Utf16FromUtf8(Utf8FromUtf16(text)), text);
    }
}

TEST(Utf16Text, MalformedUtf8GivesOneReplacementPerBadByte) {
    EXPECT_EQ(Utf16FromUtf8("1\xff"
                            "2"),
              u"1\uFFFD2");
    EXPECT_EQ(Utf16FromUtf8("\xC0\x80"), u"\uFFFD\uFFFD");    // overlong
    EXPECT_EQ(Utf16FromUtf8("9\xE2\x82"), u"9\uFFFD\uFFFD");  // cut short
}
