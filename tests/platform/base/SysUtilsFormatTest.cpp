#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/base/SysUtils.h"

namespace {

struct FormatCase {
    String Expected;
    String Actual;
};

TEST(Format, FormatsEachKindOfArgument) {
    const String name = u"clip";
    const std::string utf8 = "\xE4\xB8\xAD";
    const FormatCase cases[] = {
        {u"plain", Format(u"plain", {})},
        {u"100%", Format(u"%d%%", {100})},
        {u"-42|42|0", Format(u"%d|%u|%d", {-42, 42u, 0})},
        {u"4294967295", Format(u"%u", {-1})},
        {u"9223372036854775807", Format(u"%d", {std::numeric_limits<std::int64_t>::max()})},
        {u"-9223372036854775808", Format(u"%d", {std::numeric_limits<std::int64_t>::min()})},
        {u"18446744073709551615", Format(u"%u", {std::numeric_limits<std::uint64_t>::max()})},
        {u"FF|FF|FFFFFFFF|00FF", Format(u"%x|%X|%x|%.4x", {255, 255u, -1, 255})},
        {u"-005|  -5|-5  |", Format(u"%.3d|%4d|%-4d|", {-5, -5, -5})},
        {u"clip|中|x|中|", Format(u"%s|%s|%s|%s|", {name, "\xE4\xB8\xAD", u'x', utf8})},
        {u"  cl|ab  |", Format(u"%4.2s|%-4s|", {name, u"ab"})},
        {u"b a b", Format(u"%1:s %0:s %s", {u"a", u"b"})},
        {u"[   7]", Format(u"[%*d]", {4, 7})},
        {u"[7   ]", Format(u"[%-*d]", {4, 7})},
        {u"[3.14]", Format(u"[%.*f]", {2, 3.14159})},
        {u"1|0", Format(u"%d|%d", {true, false})},
        {u"", Format(u"%s", {static_cast<const char16_t*>(nullptr)})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Actual, c.Expected);
}

TEST(Format, FormatsFloatsWithDotWhateverTheLocale) {
    const FormatCase cases[] = {
        {u"3.14", Format(u"%f", {3.14159})},
        {u"2.68", Format(u"%.2f", {2.675})},
        {u"-0.50", Format(u"%.2f", {-0.5})},
        {u"0.00", Format(u"%.2f", {-0.001})},
        {u"1", Format(u"%.0f", {0.5})},
        {u"1000000.0", Format(u"%.1f", {999999.96})},
        {u"1.23450000000000E+003", Format(u"%e", {1234.5})},
        {u"1.23E-005", Format(u"%.3e", {0.0000123})},
        {u"0.000000000000000E+000", Format(u"%.16e", {0.0}).substr(0, 22)},
        {u"0.1", Format(u"%g", {0.1})},
        {u"1E20", Format(u"%g", {1e20})},
        {u"1,234,567.89", Format(u"%n", {1234567.891})},
        {u"-1,000", Format(u"%.0n", {-1000.0})},
        {u"$1,234.50|($2.00)", Format(u"%m|%m", {1234.5, -2.0})},
        {u"NAN|INF|-INF", Format(u"%f|%e|%g", {std::nan(""), HUGE_VAL, -HUGE_VAL})},
        {u"000000000000002A", Format(u"%p", {reinterpret_cast<const void*>(42)})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Actual, c.Expected);
}

TEST(Format, RaisesConvertErrorWithTheFormatText) {
    struct Case {
        String Fmt;
        String Message;
    };
    const Case cases[] = {
        {u"%d", u"Format '%d' invalid or incompatible with argument"},
        {u"%f", u"Format '%f' invalid or incompatible with argument"},
        {u"%s", u"Format '%s' invalid or incompatible with argument"},
        {u"%q", u"Format '%q' invalid or incompatible with argument"},
        {u"100%", u"Format '100%' invalid or incompatible with argument"},
        {u"%s and %s", u"No argument for format '%s and %s'"},
    };
    const auto run = [](const String& fmt) {
        if (fmt == u"%d")
            return Format(fmt, {1.5});
        if (fmt == u"%f")
            return Format(fmt, {1});
        if (fmt == u"%s")
            return Format(fmt, {2});
        return Format(fmt, {u"x"});
    };
    for (const auto& c : cases) {
        try {
            run(c.Fmt);
            ADD_FAILURE() << "no exception for " << UTF8Encode(c.Fmt);
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), c.Message);
        }
    }
}

TEST(Format, LongFormatIsCutInTheMessage) {
    try {
        Format(u"%d 0123456789012345678901234567890123456789", {u"x"});
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"Format '%d 0123456789012345678901234567' invalid or incompatible with argument");
    }
}

TEST(Exception, KeepsMessageInBothEncodings) {
    Exception e(u"Cannot open file \"中.avi\"");
    EXPECT_STREQ(e.what(), "Cannot open file \"\xE4\xB8\xAD.avi\"");
    e.SetMessage(u"other");
    EXPECT_STREQ(e.what(), "other");
    EXPECT_EQ(e.Message(), u"other");
    EXPECT_EQ(EReadError(u"x").ClassName(), u"EReadError");
    EXPECT_THROW(Abort(), EAbort);
}

TEST(IntConversion, ParsesAndRejectsWithTheUsualText) {
    struct Case {
        String Text;
        bool Ok;
        std::int64_t Value;
    };
    const Case cases[] = {
        {u"0", true, 0},
        {u"-12", true, -12},
        {u"+7", true, 7},
        {u"  15 ", true, 15},
        {u"$1F", true, 31},
        {u"0x10", true, 16},
        {u"2147483647", true, 2147483647},
        {u"-2147483648", true, -2147483648LL},
        {u"2147483648", false, 0},
        {u"", false, 0},
        {u"12a", false, 0},
        {u"1.5", false, 0},
        {u"-", false, 0},
        {u"$", false, 0},
    };
    for (const auto& c : cases) {
        int v = 99;
        EXPECT_EQ(TryStrToInt(c.Text, v), c.Ok) << UTF8Encode(c.Text);
        if (c.Ok) {
            EXPECT_EQ(v, c.Value);
        }
        EXPECT_EQ(StrToIntDef(c.Text, -99), c.Ok ? c.Value : -99);
    }
    std::int64_t big;
    EXPECT_TRUE(TryStrToInt64(u"-9223372036854775808", big));
    EXPECT_EQ(big, std::numeric_limits<std::int64_t>::min());
    EXPECT_FALSE(TryStrToInt64(u"9223372036854775808", big));
    try {
        StrToInt(u"abc");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"'abc' is not a valid integer value");
    }
    EXPECT_EQ(IntToStr(-123), u"-123");
    EXPECT_EQ(IntToHex(255, 4), u"00FF");
}

} // namespace
