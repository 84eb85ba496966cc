#include "lifecycle.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

using namespace pelmora;

namespace {

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

    std::optional<TwipPoint> TopLeft() const override { return topLeft; }
    void MoveTo(TwipPoint position) override {
        topLeft = position;
        ++moves;
    }
    bool TitleBarOnAScreen(TwipPoint position) const override { return position.x < 30000 && position.y < 30000; }
};

struct Started {
    CheckerState state;
    FakePlacement window;
};

Started StartWith(FakeStore& store) {
    Started started;
    StartUp(started.state, started.window, store);
    return started;
}

}  // namespace

TEST(StartUp, FirstStartIsVatModeWhereThePlatformPutTheWindow) {
    FakeStore store;
    const Started started = StartWith(store);
    EXPECT_EQ(started.state.CurrentMode, kModeVat);
    EXPECT_EQ(started.state.PromptText(), "VAT registration code");
    EXPECT_EQ(started.state.ModeCaptions[kModeCard], "Credit card number");
    EXPECT_TRUE(started.state.VatMark());
    EXPECT_FALSE(started.state.CardMark());
    EXPECT_EQ(started.window.moves, 0);
    EXPECT_TRUE(store.written.empty());
}

TEST(StartUp, EachPositiveEdgeIsRestoredWhereTheTitleBarStaysOnAScreen) {
    FakeStore store;
    store.values = {{"Window X", "2 100"}, {"Window Y", "-300"}, {"Current mode", "2.5"}};
    Started started = StartWith(store);
    EXPECT_EQ(started.window.topLeft, (TwipPoint{2100, 3000}));
    EXPECT_EQ(started.state.CurrentMode, kModeCard);

    store.values = {{"Window X", " 90000"}, {"Window Y", " 1500"}};
    started = StartWith(store);
    EXPECT_EQ(started.window.topLeft, (TwipPoint{1500, 3000}));
    EXPECT_EQ(started.window.moves, 0);
}

TEST(StartUp, UnknownModeSelectsNoneAndIsWrittenBackAsZero) {
    FakeStore store;
    store.values = {{"Current mode", "abc"}};
    Started started = StartWith(store);
    EXPECT_EQ(started.state.CurrentMode, 0);
    EXPECT_TRUE(started.state.VatMark() && started.state.CardMark());
    SaveOnShutDown(started.state, started.window, store);
    EXPECT_EQ(store.values["Current mode"], " 0");
}

TEST(SaveOnShutDown, WritesModeThenEdgesThenFlushes) {
    FakeStore store;
    Started started = StartWith(store);
    started.state.SetMode(kModeCard);
    started.window.topLeft = {3000, 1807.5};
    SaveOnShutDown(started.state, started.window, store);
    EXPECT_EQ(store.written,
              (std::vector<std::string>{"Current mode= 2", "Window X= 3000", "Window Y= 1807.5", "flush"}));
}

TEST(SaveOnShutDown, PositionThePlatformCannotTellLeavesTheStoredOneAlone) {
    FakeStore store;
    store.values = {{"Window X", " 4500"}, {"Window Y", " 3000"}, {"Current mode", " 1"}};
    Started started = StartWith(store);
    started.window.topLeft.reset();
    started.state.SetMode(kModeCard);
    SaveOnShutDown(started.state, started.window, store);
    EXPECT_EQ(store.written, (std::vector<std::string>{"Current mode= 2", "flush"}));
    EXPECT_EQ(store.values["Window X"], " 4500");

    // Nor is a position restored where the window cannot be placed.
    Started unplaced;
    unplaced.window.topLeft.reset();
    StartUp(unplaced.state, unplaced.window, store);
    EXPECT_EQ(unplaced.window.moves, 0);
}
