#include "about_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pelmora;

TEST(AboutBox, ThirteenLinesJoinedWithCrLf) {
    EXPECT_EQ(AboutTitle(), "About Dravon");
    const std::string text = AboutText();
    std::vector<std::string> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 13U);
    EXPECT_EQ(lines[0], "Pelmora (Win98) 1.00");
    for (int empty : {1, 3, 10}) EXPECT_TRUE(lines[empty].empty()) << empty;
    for (int filled : {2, 4, 5, 6, 7, 8, 9, 11, 12}) EXPECT_FALSE(lines[filled].empty()) << filled;
    EXPECT_EQ(lines[4], "Orvane");
    EXPECT_TRUE(lines[11].ends_with("@example.com"));
    EXPECT_EQ(text.find('\n', text.rfind("\r\n") + 2), std::string::npos);
}
