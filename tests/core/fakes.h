#pragma once

// A settings store and a window placement for the core's tests.

#include "settings_store.h"
#include "window_placement.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace pelmora::test_support {

class FakeStore : public SettingsStore {
public:
    std::map<std::string, std::string, std::less<>> values;
    std::vector<std::string> written;  // "key=text", in order, then "flush"

    std::string GetSetting(std::string_view application, std::string_view section, std::string_view key,
                           std::string_view fallback) override {
        EXPECT_EQ(application, "Orvane");
        EXPECT_EQ(section, "Dravon");
        const auto found = values.find(key);
        return found == values.end() ? std::string(fallback) : found->second;
    }
    void SaveSetting(std::string_view, std::string_view, std::string_view key, std::string_view text) override {
        values[std::string(key)] = text;
        written.push_back(std::string(key) + "=" + std::string(text));
    }
    void Flush() override { written.emplace_back("flush"); }
};

// A window created at (1500, 3000) twips on a screen that ends at 30000.
class FakePlacement : public WindowPlacement {
public:
    std::optional<TwipPoint> topLeft = TwipPoint{1500, 3000};
    int moves = 0;
    std::vector<std::string>* log = nullptr;  // where each move is told, if anywhere

    std::optional<TwipPoint> TopLeft() const override { return topLeft; }
    void MoveTo(TwipPoint position) override {
        topLeft = position;
        ++moves;
        if (log) log->push_back("move " + std::to_string(int(position.x)) + "," + std::to_string(int(position.y)));
    }
    bool TitleBarOnAScreen(TwipPoint position) const override { return position.x < 30000 && position.y < 30000; }
};

}  // namespace pelmora::test_support
