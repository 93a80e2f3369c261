#include "base/ZemText.h"

#include <gtest/gtest.h>

using namespace zem;

TEST(ZemText, Cp1251RoundTripsThroughUtf8) {
    const ZemString Street = "\xD3\xEB\xE8\xF6\xE0 \xB8\xEB\xEA\xE8"; // "Улица ёлки"
    EXPECT_EQ(zem::ToUtf8(Street), "Улица ёлки");
    EXPECT_EQ(zem::FromUtf8("Улица ёлки"), Street);
    EXPECT_EQ(zem::FromUtf8("Москва №5"), "\xCC\xEE\xF1\xEA\xE2\xE0 \xB9\x35");
}

TEST(ZemText, UnmappableAndInvalidInputBecomeReplacements) {
    EXPECT_EQ(zem::FromUtf8("a\xE4\xB8\xAD"
                            "b"),
              "a?b"); // CJK has no 1251 form
    EXPECT_EQ(zem::FromUtf8("a\xFF"
                            "b"),
              "a?b");                               // not UTF-8 at all
    EXPECT_EQ(zem::FromUtf8("a\xD0"), "a?");        // cut sequence at the end
    EXPECT_EQ(zem::ToUtf8("\x98"), "\xEF\xBF\xBD"); // the one unassigned 1251 byte
}

TEST(ZemText, SameTextIgnoresCaseOfLatinAndCyrillic) {
    EXPECT_TRUE(zem::SameText(zem::FromUtf8("Тверская ул."), zem::FromUtf8("ТВЕРСКАЯ УЛ.")));
    EXPECT_TRUE(zem::SameText(zem::FromUtf8("ёлка"), zem::FromUtf8("ЁЛКА")));
    EXPECT_FALSE(zem::SameText(zem::FromUtf8("Тверская"), zem::FromUtf8("Тверской")));
    EXPECT_EQ(zem::UpperCase("abc"), "ABC");
}

TEST(ZemText, DecomposedLettersArriveComposed) {
    // "й", "Ё", "ў", "ї" as a letter and a combining mark; a mark on a letter without such a form stays '?'.
    EXPECT_EQ(zem::FromUtf8("\xD0\xB8\xCC\x86"
                            "\xD0\x95\xCC\x88"
                            "\xD1\x83\xCC\x86"
                            "\xD1\x96\xCC\x88"),
              "\xE9\xA8\xA2\xBF");
    EXPECT_EQ(zem::FromUtf8("\xD0\xB0\xCC\x86"), "\xE0?");
}
