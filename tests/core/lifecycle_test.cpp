#include "lifecycle.h"
#include "window_layout.h"

#include "fakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pelmora;
using pelmora::test_support::FakePlacement;
using pelmora::test_support::FakeStore;

namespace {

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
    SaveSettings(started.state, started.window, store);
    EXPECT_EQ(store.values["Current mode"], " 0");
}

TEST(SaveSettings, WritesModeThenEdgesThenFlushes) {
    FakeStore store;
    Started started = StartWith(store);
    started.state.SetMode(kModeCard);
    started.window.topLeft = {3000, 1807.5};
    SaveSettings(started.state, started.window, store);
    EXPECT_EQ(store.written,
              (std::vector<std::string>{"Current mode= 2", "Window X= 3000", "Window Y= 1807.5", "flush"}));
}

TEST(SaveSettings, PositionThePlatformCannotTellLeavesTheStoredOneAlone) {
    FakeStore store;
    store.values = {{"Window X", " 4500"}, {"Window Y", " 3000"}, {"Current mode", " 1"}};
    Started started = StartWith(store);
    started.window.topLeft.reset();
    started.state.SetMode(kModeCard);
    SaveSettings(started.state, started.window, store);
    EXPECT_EQ(store.written, (std::vector<std::string>{"Current mode= 2", "flush"}));
    EXPECT_EQ(store.values["Window X"], " 4500");

    // Nor is a position restored where the window cannot be placed.
    Started unplaced;
    unplaced.window.topLeft.reset();
    StartUp(unplaced.state, unplaced.window, store);
    EXPECT_EQ(unplaced.window.moves, 0);
}

TEST(Twips, OneRuleAtEveryDensity) {
    const PixelLayout at96 = LayoutAt(96);
    EXPECT_EQ(at96.clientWidth, 305);
    EXPECT_EQ(at96.clientHeight, 84);
    EXPECT_EQ(at96.text1, (PixelRect{152, 4, 145, 25}));
    EXPECT_EQ(at96.fontHeight, 13);
    // Halves round away from zero: 4575 twips at 144 dpi are 457.5 pixels.
    const PixelLayout at144 = LayoutAt(144);
    EXPECT_EQ(at144.clientWidth, 458);
    EXPECT_EQ(at144.clientHeight, 126);
    EXPECT_EQ(at144.label2, (PixelRect{93, 60, 278, 26}));
    EXPECT_EQ(at144.fontHeight, 20);
    // Positions: 16 twips are the nearest pixel to them, and back.
    EXPECT_EQ(PixelsFromTwips(16, 96), 1);
    EXPECT_EQ(PixelsFromTwips(29, 96), 2);
    EXPECT_EQ(TwipsFromPixels(2, 144), 20);
}
