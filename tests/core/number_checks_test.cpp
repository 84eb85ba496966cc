#include "number_checks.h"

#include "reference_checks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace pelmora;

TEST(ExtractDigits, KeepsOnlyAsciiDigitsInOrder) {
    EXPECT_EQ(ExtractDigits("GB 123 4567 82"), "123456782");
    EXPECT_EQ(ExtractDigits(""), "");
    EXPECT_EQ(ExtractDigits("abc-/:"), "");
    // '/' and ':' border the digit range; Arabic-Indic and full-width digits are not digits.
    EXPECT_EQ(ExtractDigits("/0:9\xd9\xa3\xef\xbc\x95"
                            "5"),
              "095");
}

TEST(CheckVat, AcceptsOriginalForm) {
    EXPECT_EQ(CheckVat("123456782"), kValidVatCode);
    EXPECT_EQ(CheckVat("GB 123 4567 82"), kValidVatCode);
    EXPECT_EQ(CheckVat("1-2-3-4-5-6-7-8-2"), kValidVatCode);
    // S = 97: the check digits must be 97, never 00.
    EXPECT_EQ(CheckVat("100299897"), kValidVatCode);
}

TEST(CheckVat, AcceptsFormIssuedSince2009) {
    EXPECT_EQ(CheckVat("340804329"), kValidVatCode);
    EXPECT_EQ(CheckVat("XI 151 3084 43"), kValidVatCode);
}

TEST(CheckVat, RejectsWrongCheckDigits) {
    EXPECT_EQ(CheckVat("123456783"), kNotValid);
    EXPECT_EQ(CheckVat("100299800"), kNotValid);
    EXPECT_EQ(CheckVat("340804330"), kNotValid);
}

TEST(CheckVat, NeedsExactlyNineDigits) {
    EXPECT_EQ(CheckVat(""), kWrongNumberOfDigits);
    EXPECT_EQ(CheckVat("12345678"), kWrongNumberOfDigits);
    EXPECT_EQ(CheckVat("GB123456782001"), kWrongNumberOfDigits);
    EXPECT_EQ(CheckVat("1234567820"), kWrongNumberOfDigits);
    EXPECT_EQ(CheckVat(std::string(100000, '7')), kWrongNumberOfDigits);
}

TEST(CheckCC, AcceptsCorrectLuhnDigit) {
    EXPECT_EQ(CheckCC("4111 1111 1111 1111"), kValidCardNumber);
    EXPECT_EQ(CheckCC("79927398713"), kValidCardNumber);
    EXPECT_EQ(CheckCC("59"), kValidCardNumber);  // doubled 5 counts as 1
    EXPECT_EQ(CheckCC("18"), kValidCardNumber);
    EXPECT_EQ(CheckCC("0"), kValidCardNumber);
}

TEST(CheckCC, RejectsWrongLuhnDigit) {
    EXPECT_EQ(CheckCC("4111 1111 1111 1112"), kNotValid);
    EXPECT_EQ(CheckCC("79927398710"), kNotValid);
    EXPECT_EQ(CheckCC("58"), kNotValid);
}

TEST(CheckCC, TextWithoutDigitsIsNotValid) {
    EXPECT_EQ(CheckCC(""), kNotValid);
    EXPECT_EQ(CheckCC("abc"), kNotValid);
    EXPECT_EQ(CheckCC(" - "), kNotValid);
}

TEST(CheckCC, IgnoresSeparators) {
    EXPECT_EQ(CheckCC("4111-1111-1111-1111"), CheckCC("4111111111111111"));
    EXPECT_EQ(CheckCC("7992x7398\xc3\xa9"
                      "713"),
              kValidCardNumber);
}

TEST(NumberChecks, AgreeWithReferenceOnGeneratedEntries) {
    std::mt19937 rng(20261207);
    const std::string separators = " -./GBXIabc\t\xc3\xa9";
    int validVat = 0, validCard = 0, neverIssued = 0;
    for (int round = 0; round < 200000; ++round) {
        // Mostly 8 to 10 digits so the valid paths are well visited.
        const int count = round % 4 == 0 ? static_cast<int>(rng() % 25) : 8 + static_cast<int>(rng() % 3);
        std::string entry, digits;
        for (int i = 0; i < count; ++i) {
            if (rng() % 4 == 0) entry += separators[rng() % separators.size()];
            const char d = static_cast<char>('0' + rng() % 10);
            entry += d;
            digits += d;
        }
        // Fix the check digits of every other VAT-length entry so matches
        // occur; now and then 97 more, where that still makes two digits.
        if (digits.size() == 9 && round % 2 == 0) {
            int s = 0;
            for (int i = 0; i < 7; ++i) s += (8 - i) * (digits[i] - '0');
            int want = (round % 4 == 0) ? 97 - s % 97 : 97 - (s + 55) % 97;
            if (round % 8 == 2 && want <= 2) want += 97;
            neverIssued += want > 97;
            digits.replace(7, 2, std::to_string(want + 100).substr(1));
            entry = digits;
        }
        const auto vat = CheckVat(entry);
        const auto card = CheckCC(entry);
        ASSERT_EQ(vat, reference::Vat(entry)) << entry;
        ASSERT_EQ(card, reference::Luhn(entry)) << entry;
        validVat += vat == kValidVatCode;
        validCard += card == kValidCardNumber;
    }
    // The generator must reach both verdicts of both checks, and check
    // digits that are never issued.
    EXPECT_GT(validVat, 1000);
    EXPECT_GT(validCard, 1000);
    EXPECT_GT(neverIssued, 10);
}
