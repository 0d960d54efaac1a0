#include "common/int16.h"
#include "common/vb_text.h"

#include <gtest/gtest.h>

#include "platform/progress.h"

using namespace velk;

TEST(VbText, SlicingClampsAtBothEndsAndTrimStripsSpacesOnly) {
    EXPECT_EQ(Mid("ABCDEF", 2, 3), "BCD");
    EXPECT_EQ(Mid("ABCDEF", 5), "EF");
    EXPECT_EQ(Mid("ABCDEF", 7), "");
    EXPECT_EQ(Mid("ABC", 2, 100), "BC");
    EXPECT_EQ(Mid("", 1, 1), "");
    EXPECT_EQ(Left("ABC", 0), "");
    EXPECT_EQ(Left("ABC", 10), "ABC");
    EXPECT_EQ(Right("ABC", 2), "BC");
    EXPECT_EQ(Right("ABC", 9), "ABC");
    EXPECT_EQ(Left("", 1), "");
    // Trim takes spaces only, never tabs or line ends.
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim("\tx\r"), "\tx\r");
    EXPECT_EQ(LTrim("  x "), "x ");
    EXPECT_EQ(RTrim("  x "), "  x");
    EXPECT_EQ(UCase("abc-\xe9z"), "ABC-\xe9Z");
}

TEST(VbText, InStrPositionsAndLenientNumbers) {
    EXPECT_EQ(InStr("CD_DRIVE=E", "D_DRIVE"), 2);
    EXPECT_EQ(InStr("abc", "z"), 0);
    EXPECT_EQ(InStr("", "a"), 0);
    EXPECT_EQ(InStr("abc", ""), 1);
    EXPECT_EQ(InStr(3, "abcabc", "a"), 4);
    EXPECT_EQ(InStr(9, "abc", "a"), 0);
    EXPECT_EQ(Val(" 2 45 7"), 2457);
    EXPECT_EQ(Val("24 and 57"), 24);
    EXPECT_EQ(Val("1,000"), 1);
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("-3.5"), -3.5);
    EXPECT_EQ(ValInt("  0042x"), 42);
    EXPECT_EQ(ValInt("999999999999999999999999999999"), std::numeric_limits<long long>::max());
    EXPECT_TRUE(IsNumeric(" 123 "));
    EXPECT_FALSE(IsNumeric("12a"));
    EXPECT_FALSE(IsNumeric(""));
}

TEST(VbText, FormatFillsDigitsFromTheRightKeepAlnumAndFixedWidth) {
    EXPECT_EQ(FormatNumber(100000, "###,###,###"), "100,000");
    EXPECT_EQ(FormatNumber(5123456, "###,###,###"), "5,123,456");
    EXPECT_EQ(FormatNumber(0, "###,###,###"), "");
    EXPECT_EQ(FormatNumber(12345678, "####/####"), "1234/5678");
    EXPECT_EQ(FormatNumber(123, "####/####"), "/123");
    EXPECT_EQ(FormatNumber(12, "0000"), "0012");
    EXPECT_EQ(FormatNumber(1234567, "0000"), "1234567");
    EXPECT_EQ(FormatText("D0123456", "###,###,###"), "D0123456");
    EXPECT_EQ(FormatText("05123456", "###,###,###"), "5,123,456");
    EXPECT_EQ(KeepAlnum(" 5,123,456 "), "5123456");
    EXPECT_EQ(KeepAlnum("D-123456"), "D123456");
    EXPECT_EQ(KeepAlnum("\xe9" "a1"), "a1");
    EXPECT_EQ(FixedWidth("AB", 4), "AB  ");
    EXPECT_EQ(FixedWidth("ABCDEF", 4), "ABCD");
}

TEST(VbText, Cp1252RoundTrip) {
    std::string raw = "caf\xe9 \x80 \x93x\x94";
    std::string utf8 = Cp1252ToUtf8(raw);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(utf8, "caf\xc3\xa9 \xe2\x82\xac \xe2\x80\x9cx\xe2\x80\x9d");
    EXPECT_EQ(Utf8ToCp1252(utf8), raw);
    EXPECT_FALSE(IsValidUtf8("caf\xe9"));
    EXPECT_EQ(Utf8ToCp1252("\xe4\xb8\xad"), "?");
}

TEST(Int16, ArithmeticLeavingTheRangeIsOverflow) {
    Int16 a = 32000;
    EXPECT_EQ(int(a + Int16(767)), 32767);
    try {
        (void)(a + Int16(768));
        FAIL();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 6);
        EXPECT_EQ(e.report(), "Overflow 6");
    }
    EXPECT_THROW(Int16(40000), RuntimeError);
    EXPECT_THROW(Int16(200) * Int16(200), RuntimeError);
    EXPECT_THROW(Int16(1) / Int16(0), RuntimeError);
    EXPECT_EQ(int(CInt(2.5)), 2);
    EXPECT_EQ(int(CInt(3.5)), 4);
    EXPECT_EQ(int(CInt(-0.5)), 0);
    EXPECT_THROW(CInt(32767.5), RuntimeError);
}

TEST(ProgressBar, StepArithmetic) {
    // A total of 1 is divided as 10: a tenth of the room.
    EXPECT_EQ(int(ProgressBarWidth(1160, 1, 1)), 100);
    EXPECT_EQ(int(ProgressBarWidth(1160, 5, 5)), 1000);
    EXPECT_EQ(int(ProgressBarWidth(1160, 3, 3)), 1000);
    EXPECT_EQ(int(ProgressBarWidth(1160, 7, 0)), 0);
    // No division by zero, no overshoot, no standing still on long runs.
    EXPECT_EQ(int(ProgressBarWidth(1160, 0, 5)), 0);
    EXPECT_EQ(int(ProgressBarWidth(1160, 5, 9)), 1000);
    EXPECT_EQ(int(ProgressBarWidth(1160, 30000, 15000)), 500);
    EXPECT_EQ(int(ProgressBarWidth(100, 5, 5)), 0);
}
