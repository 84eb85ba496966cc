#include "checker_state.h"

#include "number_checks.h"

#include <gtest/gtest.h>

using namespace pelmora;

namespace {

CheckerState Started(std::uint8_t mode) {
    CheckerState state;
    state.ModeCaptions = {"", "VAT registration code", "Credit card number"};
    state.CurrentMode = mode;
    state.SetMode(mode);
    return state;
}

}  // namespace

TEST(CheckerState, BeforeFirstSetModeShowsVatPromptAndBothMarks) {
    const CheckerState state;
    EXPECT_EQ(state.CurrentMode, 0);
    EXPECT_EQ(state.PromptText(), "VAT registration code");
    EXPECT_TRUE(state.VatMark());
    EXPECT_TRUE(state.CardMark());
    EXPECT_EQ(state.EntryText(), "");
    EXPECT_EQ(state.ResultText(), "");
}

TEST(CheckerState, SetModeSwitchesPromptAndMarks) {
    CheckerState state = Started(kModeCard);
    EXPECT_EQ(state.CurrentMode, kModeCard);
    EXPECT_EQ(state.PromptText(), "Credit card number");
    EXPECT_FALSE(state.VatMark());
    EXPECT_TRUE(state.CardMark());

    state.SetMode(kModeVat);
    EXPECT_EQ(state.CurrentMode, kModeVat);
    EXPECT_EQ(state.PromptText(), "VAT registration code");
    EXPECT_TRUE(state.VatMark());
    EXPECT_FALSE(state.CardMark());
}

TEST(CheckerState, SetModeAlwaysEmptiesEntryAndResult) {
    CheckerState state = Started(kModeVat);
    state.SetEntryText("123456782");
    state.CheckEntry();
    ASSERT_EQ(state.ResultText(), kValidVatCode);
    state.SetMode(kModeVat);  // same mode again
    EXPECT_EQ(state.EntryText(), "");
    EXPECT_EQ(state.ResultText(), "");
}

TEST(CheckerState, UnknownModeOnlyEmptiesEntryAndResult) {
    for (std::uint8_t stored : {0, 3, 255}) {
        CheckerState state = Started(stored);
        EXPECT_EQ(state.PromptText(), "VAT registration code");
        EXPECT_TRUE(state.VatMark());
        EXPECT_TRUE(state.CardMark());

        state.SetEntryText("123456782");
        state.CheckEntry();  // no mode: nothing to judge by
        EXPECT_EQ(state.ResultText(), "");
        EXPECT_EQ(state.EntryText(), "123456782");

        state.SetMode(5);
        EXPECT_EQ(state.CurrentMode, stored);
        EXPECT_EQ(state.EntryText(), "");
        EXPECT_TRUE(state.VatMark());
        EXPECT_TRUE(state.CardMark());
    }
}

TEST(CheckerState, CheckEntryUsesCurrentModeAndKeepsEntry) {
    CheckerState state = Started(kModeCard);
    state.SetEntryText("4111 1111 1111 1111");
    state.CheckEntry();
    EXPECT_EQ(state.ResultText(), kValidCardNumber);
    EXPECT_EQ(state.EntryText(), "4111 1111 1111 1111");
    state.CheckEntry();  // Enter twice: the same verdict again
    EXPECT_EQ(state.ResultText(), kValidCardNumber);

    state.OtherKey(U'1');
    EXPECT_EQ(state.ResultText(), "");
}

TEST(CheckerState, ClearNumberKeepsVerdict) {
    CheckerState vat = Started(kModeVat);
    vat.SetEntryText("123456783");
    vat.CheckEntry();
    vat.ClearNumber();
    EXPECT_EQ(vat.EntryText(), "");
    EXPECT_EQ(vat.ResultText(), kNotValid);
    vat.CheckEntry();
    EXPECT_EQ(vat.ResultText(), kWrongNumberOfDigits);

    CheckerState card = Started(kModeCard);
    card.ClearNumber();
    card.CheckEntry();
    EXPECT_EQ(card.ResultText(), kNotValid);  // an empty entry is no card number
}

TEST(CheckerState, EachDeliveredCodeHasOneMeaning) {
    EXPECT_EQ(KindOfKey(U'\r'), KeyKind::Enter);  // Return, keypad Enter, Ctrl+M
    EXPECT_EQ(KindOfKey(U'\t'), KeyKind::Navigation);
    EXPECT_EQ(KindOfKey(0x7f), KeyKind::None);
    EXPECT_EQ(KindOfKey(0), KeyKind::None);  // Ctrl+@
    for (char32_t code : {U'\n', U'\x1b', U'\b', U' ', U'7', U'x', U'\xD83D', U'\U0001F600'}) {
        EXPECT_EQ(KindOfKey(code), KeyKind::Character) << static_cast<unsigned>(code);
    }

    CheckerState state = Started(kModeVat);
    state.SetEntryText("123456782");
    EXPECT_EQ(state.KeyPress(U'\r'), KeyKind::Enter);
    EXPECT_EQ(state.ResultText(), kValidVatCode);
    // Focus and no-character keys leave the verdict, and check nothing: a
    // check of this entry would give another verdict.
    state.SetEntryText("1");
    state.KeyPress(U'\t');
    state.KeyPress(0x7f);
    state.KeyPress(0);
    EXPECT_EQ(state.ResultText(), kValidVatCode);
    state.KeyPress(U'\x1b');
    EXPECT_EQ(state.ResultText(), "");
}

TEST(CheckerState, OnlyModeSwitchAndClearReplaceTheEntry) {
    CheckerState state = Started(kModeVat);
    const unsigned before = state.EntryReplacements();
    state.SetEntryText("12");
    state.KeyPress(U'3');
    state.KeyPress(U'\r');
    EXPECT_EQ(state.EntryReplacements(), before);
    state.ClearNumber();
    EXPECT_EQ(state.EntryReplacements(), before + 1);
    state.SetMode(kModeCard);
    EXPECT_EQ(state.EntryReplacements(), before + 2);
}
