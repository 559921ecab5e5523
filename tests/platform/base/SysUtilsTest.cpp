#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "platform/base/SysUtils.h"
#include "platform/base/Types.h"
#include "tests/support/TempDir.h"

namespace {

TEST(FloatConversion, FloatToStrUsesFifteenDigitsAndADot) {
    struct Case {
        double Value;
        String Text;
    };
    const Case cases[] = {
        {0, u"0"},
        {-0.0, u"0"},
        {0.1 + 0.2, u"0.3"},
        {1.5, u"1.5"},
        {-2.25, u"-2.25"},
        {1.0 / 3, u"0.333333333333333"},
        {100, u"100"},
        {1e14, u"100000000000000"},
        {1e15, u"1E15"},
        {123456789012345678.0, u"1.23456789012346E17"},
        {0.0001, u"0.0001"},
        {0.00001, u"1E-5"},
        {29.97002997, u"29.97002997"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStr(c.Value), c.Text) << c.Value;
}

TEST(FloatConversion, StrToFloatAcceptsOnlyDecimalForms) {
    struct Case {
        String Text;
        bool Ok;
        double Value;
    };
    const Case cases[] = {
        {u"1.5", true, 1.5},   {u" -2.5e3 ", true, -2500}, {u".5", true, 0.5},   {u"5.", true, 5},   {u"+7", true, 7},
        {u"1E-2", true, 0.01}, {u"1,5", false, 0},         {u"", false, 0},      {u"inf", false, 0}, {u"nan", false, 0},
        {u"0x10", false, 0},   {u"1e", false, 0},          {u"1e999", false, 0}, {u"-", false, 0},
    };
    for (const auto& c : cases) {
        double v = -1;
        EXPECT_EQ(TryStrToFloat(c.Text, v), c.Ok) << UTF8Encode(c.Text);
        if (c.Ok) {
            EXPECT_DOUBLE_EQ(v, c.Value);
        }
    }
    EXPECT_EQ(StrToFloatDef(u"x", 2.5), 2.5);
    try {
        StrToFloat(u"1,5");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"'1,5' is not a valid floating point value");
    }
}

TEST(FloatConversion, FormatFloatAndFloatToStrF) {
    struct Case {
        String Actual, Expected;
    };
    const Case cases[] = {
        {FormatFloat(u"0.00", 3.14159), u"3.14"},
        {FormatFloat(u"0.00", -0.001), u"0.00"},
        {FormatFloat(u"#,##0.00", 1234567.891), u"1,234,567.89"},
        {FormatFloat(u"0.###", 2.5), u"2.5"},
        {FormatFloat(u"0.###", 2), u"2"},
        {FormatFloat(u"000", 7), u"007"},
        {FormatFloat(u"#", 0), u""},
        {FormatFloat(u"0.0 'fps'", 25), u"25.0 fps"},
        {FormatFloat(u"0.00E+00", 12345), u"1.23E+04"},
        {FormatFloat(u"0.0;(0.0);zero", -1.25), u"(1.3)"},
        {FormatFloat(u"0.0;(0.0);zero", 0), u"zero"},
        {FormatFloat(u"0.0", -1.25), u"-1.3"},
        {FloatToStrF(2.675, ffFixed, 15, 2), u"2.68"},
        {FloatToStrF(1234.5, ffNumber, 15, 1), u"1,234.5"},
        {FloatToStrF(1234.5, ffExponent, 4, 2), u"1.235E+03"},
        {FloatToStrF(0.5, ffGeneral, 15, 0), u"0.5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Actual, c.Expected);
}

TEST(Rounding, RoundsTiesToEvenAndTruncatesTowardZero) {
    const double values[] = {0.5, 1.5, 2.5, -0.5, -1.5, 2.4999, 2.5001, -2.7};
    const std::int64_t rounded[] = {0, 2, 2, 0, -2, 2, 3, -3};
    const std::int64_t truncated[] = {0, 1, 2, 0, -1, 2, 2, -2};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Round(values[i]), rounded[i]) << values[i];
        EXPECT_EQ(Trunc(values[i]), truncated[i]) << values[i];
    }
    EXPECT_EQ(Round(1e300), INT64_MAX);
    EXPECT_EQ(Round(std::nan("")), 0);
}

TEST(Random, SeedReplaysTheSameSequence) {
    RandSeed = 12345;
    const int a = Random(1000), b = Random(1000);
    const double c = Random();
    RandSeed = 12345;
    EXPECT_EQ(Random(1000), a);
    EXPECT_EQ(Random(1000), b);
    EXPECT_EQ(Random(), c);
    // The classic generator's own numbers.
    RandSeed = 0;
    EXPECT_EQ(Random(100), 0); // seed 1
    EXPECT_EQ(RandSeed, 1);
    EXPECT_EQ(Random(100), 3); // seed 134775814
    for (int i = 0; i < 1000; ++i) {
        const int r = Random(7);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 7);
    }
}

TEST(Strings, OneBasedRoutines) {
    EXPECT_EQ(Pos(u"=", u"a=b=c"), 2);
    EXPECT_EQ(Pos(u"x", u"abc"), 0);
    EXPECT_EQ(Pos(u"", u"abc"), 0);
    EXPECT_EQ(PosEx(u"=", u"a=b=c", 3), 4);
    EXPECT_EQ(Copy(u"abcdef", 2, 3), u"bcd");
    EXPECT_EQ(Copy(u"abcdef", 5, 100), u"ef");
    EXPECT_EQ(Copy(u"abc", 0, 2), u"ab");
    EXPECT_EQ(Copy(u"abc", 4, 1), u"");
    String s = u"abcdef";
    Delete(s, 2, 2);
    EXPECT_EQ(s, u"adef");
    Insert(u"XY", s, 2);
    EXPECT_EQ(s, u"aXYdef");
    Insert(u"!", s, 100);
    EXPECT_EQ(s, u"aXYdef!");
    EXPECT_EQ(StringOfChar(u'-', 3), u"---");
    EXPECT_EQ(LastDelimiter(u"./", u"/a.b/c.d"), 7);
}

TEST(Strings, CaseTrimAndQuotes) {
    EXPECT_EQ(Trim(u" \t a b \r\n"), u"a b");
    EXPECT_EQ(TrimLeft(u"  a "), u"a ");
    EXPECT_EQ(TrimRight(u"  a "), u"  a");
    EXPECT_EQ(UpperCase(u"abcÉé"), u"ABCÉé");
    EXPECT_EQ(AnsiUpperCase(u"abcé中"), u"ABCÉ中");
    EXPECT_EQ(AnsiLowerCase(u"ÀBC"), u"àbc");
    EXPECT_TRUE(SameText(u"Hello", u"hELLO"));
    EXPECT_FALSE(SameText(u"Hello", u"Hell"));
    EXPECT_LT(CompareText(u"abc", u"ABD"), 0);
    EXPECT_GT(CompareStr(u"b", u"a"), 0);
    EXPECT_EQ(CompareText(u"a", u"A"), 0);
    EXPECT_TRUE(AnsiSameText(u"éTÉ", u"ÉtÉ"));
    EXPECT_EQ(QuotedStr(u"it's"), u"'it''s'");
    EXPECT_EQ(AnsiDequotedStr(u"'it''s'", u'\''), u"it's");
    EXPECT_EQ(AnsiDequotedStr(u"plain", u'\''), u"plain");
    EXPECT_EQ(StringReplace(u"a-b-c", u"-", u"+", {}), u"a+b-c");
    EXPECT_EQ(StringReplace(u"a-b-c", u"-", u"+", {rfReplaceAll}), u"a+b+c");
    EXPECT_EQ(StringReplace(u"aXbxc", u"x", u"", {rfReplaceAll, rfIgnoreCase}), u"abc");
    EXPECT_TRUE(StartsText(u"UNICODE:", u"unicode:utf8:a"));
    EXPECT_TRUE(EndsText(u".AVI", u"clip.avi"));
    EXPECT_EQ(BoolToStr(true), u"-1");
    EXPECT_EQ(BoolToStr(false, true), u"False");
    EXPECT_TRUE(StrToBool(u"true"));
    EXPECT_FALSE(StrToBoolDef(u"x", false));
}

TEST(Paths, SplitAndJoinWithSlash) {
    struct Case {
        String Name, Path, Dir, File, Ext, Changed;
    };
    const Case cases[] = {
        {u"/a/b/c.txt", u"/a/b/", u"/a/b", u"c.txt", u".txt", u"/a/b/c.avi"},
        {u"c.tar.gz", u"", u"", u"c.tar.gz", u".gz", u"c.tar.avi"},
        {u"/a.b/c", u"/a.b/", u"/a.b", u"c", u"", u"/a.b/c.avi"},
        {u"/c.txt", u"/", u"/", u"c.txt", u".txt", u"/c.avi"},
        {u"/a/", u"/a/", u"/a", u"", u"", u"/a/.avi"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.Name), c.Path) << UTF8Encode(c.Name);
        EXPECT_EQ(ExtractFileDir(c.Name), c.Dir) << UTF8Encode(c.Name);
        EXPECT_EQ(ExtractFileName(c.Name), c.File) << UTF8Encode(c.Name);
        EXPECT_EQ(ExtractFileExt(c.Name), c.Ext) << UTF8Encode(c.Name);
        EXPECT_EQ(ChangeFileExt(c.Name, u".avi"), c.Changed) << UTF8Encode(c.Name);
    }
    EXPECT_EQ(IncludeTrailingPathDelimiter(u"/a"), u"/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(u"/a/"), u"/a/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter(u"/a/"), u"/a");
    EXPECT_EQ(ExcludeTrailingPathDelimiter(u"/"), u"/");
    EXPECT_EQ(ExpandFileName(u"/a/./b/../c"), u"/a/c");
    EXPECT_EQ(ExpandFileName(u"/.."), u"/");
}

TEST(Files, CreateFindRenameAndDelete) {
    TTempDir tmp;
    const String sub = tmp / u"中文/x/y";
    EXPECT_THROW(ForceDirectories(u""), EInOutError);
    ASSERT_TRUE(ForceDirectories(sub));
    EXPECT_TRUE(DirectoryExists(sub));
    EXPECT_FALSE(FileExists(sub));
    const String a = tmp / u"B.AVI", b = tmp / u"a.avi", c = tmp / u".hidden.avi";
    for (const String& name : {a, b, c})
        std::ofstream(UTF8Encode(name)) << "12345";
    EXPECT_TRUE(FileExists(a));
    EXPECT_EQ(FileSize(a), 5);
    EXPECT_EQ(FileSize(tmp / u"none"), -1);

    std::vector<String> found;
    TSearchRec sr;
    for (int r = FindFirst(tmp / u"*.avi", faAnyFile & ~faHidden & ~faDirectory, sr); r == 0; r = FindNext(sr))
        found.push_back(sr.Name);
    FindClose(sr);
    EXPECT_EQ(found, (std::vector<String>{u"a.avi", u"B.AVI"}));

    found.clear();
    for (int r = FindFirst(tmp / u"*", faAnyFile, sr); r == 0; r = FindNext(sr))
        found.push_back(sr.Name + ((sr.Attr & faDirectory) ? u"/" : u""));
    FindClose(sr);
    EXPECT_EQ(found, (std::vector<String>{u"./", u"../", u".hidden.avi", u"a.avi", u"B.AVI", u"中文/"}));
    EXPECT_NE(FindFirst(tmp / u"*.mkv", faAnyFile, sr), 0);

    TDateTime age;
    ASSERT_TRUE(FileAge(a, age));
    EXPECT_LT(std::fabs(age - Now()), 1.0 / 24);

    // A rename never replaces an existing file.
    EXPECT_FALSE(RenameFile(a, b));
    EXPECT_EQ(GetLastError(), EEXIST);
    EXPECT_TRUE(RenameFile(a, tmp / u"c.avi"));
    EXPECT_FALSE(FileExists(a));
    EXPECT_TRUE(DeleteFile(b));
    EXPECT_FALSE(DeleteFile(b));
    EXPECT_EQ(SysErrorMessage(ENOENT), u"No such file or directory");
    EXPECT_FALSE(DeleteFile(sub));
}

TEST(DateTime, EncodeDecodeAndFormat) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1970, 1, 1), 25569);
    EXPECT_EQ(EncodeDate(2000, 3, 1), 36586);
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    const TDateTime dt = EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 9, 45);
    int y, m, d, h, n, s, ms;
    DecodeDate(dt, y, m, d);
    DecodeTime(dt, h, n, s, ms);
    EXPECT_EQ((std::vector<int>{y, m, d, h, n, s, ms}), (std::vector<int>{2024, 2, 29, 13, 5, 9, 45}));
    EXPECT_EQ(DayOfWeek(dt), 5); // a Thursday
    struct Case {
        String Format, Text;
    };
    const Case cases[] = {
        {u"yyyy-mm-dd hh:nn:ss.zzz", u"2024-02-29 13:05:09.045"},
        {u"yy/m/d h:n:s", u"24/2/29 13:5:9"},
        {u"hh:mm", u"13:05"}, // m after h is the minute
        {u"ddd, d mmm yyyy", u"Thu, 29 Feb 2024"},
        {u"dddd mmmm", u"Thursday February"},
        {u"h:nn am/pm", u"1:05 pm"},
        {u"'day' d", u"day 29"},
        {u"c", u"2024-02-29 13:05:09"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateTime(c.Format, dt), c.Text) << UTF8Encode(c.Format);
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 1, 2)), u"2024-01-02");
    EXPECT_EQ(UnixToDateTime(86400), 25570);
    EXPECT_EQ(DateTimeToUnix(25570.5), 86400 + 43200);
}

TEST(DateTime, LocalUnixTimeUsesTheOffsetOfThatDate) {
    // Whatever the machine's zone, local and UTC forms agree with the C library for that instant.
    for (std::int64_t secs : {std::int64_t(1700000000), std::int64_t(1719000000)}) {
        const time_t t = secs;
        std::tm tm{};
        localtime_r(&t, &tm);
        const TDateTime local = UnixToDateTime(secs, false);
        EXPECT_NEAR((local - UnixToDateTime(secs)) * 86400, double(tm.tm_gmtoff), 0.5);
        EXPECT_EQ(DateTimeToUnix(local, false), secs);
    }
}

TEST(Types, RectangleHelpers) {
    TRect r;
    EXPECT_TRUE(IntersectRect(r, Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)));
    EXPECT_EQ(r, Rect(5, 5, 10, 10));
    EXPECT_FALSE(IntersectRect(r, Rect(0, 0, 5, 5), Rect(5, 0, 10, 5)));
    EXPECT_EQ(r, Rect(0, 0, 0, 0));
    EXPECT_TRUE(UnionRect(r, Rect(0, 0, 5, 5), Rect(10, 10, 20, 30)));
    EXPECT_EQ(r, Rect(0, 0, 20, 30));
    EXPECT_TRUE(UnionRect(r, Rect(3, 3, 3, 9), Rect(1, 1, 2, 2)));
    EXPECT_EQ(r, Rect(1, 1, 2, 2));
    EXPECT_TRUE(PtInRect(Bounds(10, 10, 5, 5), Point(10, 14)));
    EXPECT_FALSE(PtInRect(Bounds(10, 10, 5, 5), Point(15, 10)));
    r = Bounds(1, 2, 3, 4);
    OffsetRect(r, 10, 20);
    InflateRect(r, 1, 1);
    EXPECT_EQ(r, Rect(10, 21, 15, 27));
    EXPECT_EQ(r.Width(), 5);
    EXPECT_TRUE(IsRectEmpty(Rect(5, 5, 5, 10)));
}

enum TShiftStateItem { ssShift, ssAlt, ssCtrl };
using TShift = TSet<TShiftStateItem>;

TEST(Sets, MembershipAndArithmetic) {
    TShift s{ssShift, ssCtrl};
    EXPECT_TRUE(s.Contains(ssShift));
    EXPECT_FALSE(s.Contains(ssAlt));
    EXPECT_EQ(s.ToInt(), 5u);
    s += ssAlt;
    s -= ssShift;
    EXPECT_EQ(s, (TShift{ssAlt, ssCtrl}));
    EXPECT_EQ(s * TShift({ssCtrl, ssShift}), TShift{ssCtrl});
    EXPECT_TRUE(TShift{ssCtrl} <= s);
    EXPECT_EQ(TShift::FromInt(2), TShift{ssAlt});
    EXPECT_TRUE(TShift().Empty());
}

// The tick counts and Sleep follow whichever clock is in place: the tests' clock moves a step on
// every read and by the whole duration on a Sleep, and the 32-bit count wraps.
TEST(Clock, TickCountsAndSleepFollowTheClockInPlace) {
    std::unique_ptr<TClock> Previous = SetClock(std::make_unique<TTestClock>(0xFFFFFFFEull, 1));
    EXPECT_EQ(GetTickCount(), 0xFFFFFFFFu);
    EXPECT_EQ(GetTickCount(), 0u);
    EXPECT_EQ(GetTickCount64(), 0x100000001ull);
    Sleep(40);
    EXPECT_EQ(GetTickCount64(), 0x10000002Aull);
    SetClock(std::move(Previous));
    EXPECT_FALSE(Clock().IsVirtual());
}

} // namespace
