#include <gtest/gtest.h>

#include <memory>

#include "skin/core/TbsResourceStrData.h"

TEST(TbsResourceStrData, BuiltInLines) {
    std::unique_ptr<TbsResourceStrData> R(new TbsResourceStrData(nullptr));
    EXPECT_EQ(R->ResStrings()->Count(), 131);
    EXPECT_EQ(R->CharSet(), 1);
    EXPECT_EQ(R->ResStrings()->Strings(0), u"MI_MINCAPTION=Mi&nimize");
    EXPECT_EQ(R->ResStrings()->Strings(130), u"DBNAV_REFRESH=REFRESH");
    struct Case {
        const char16_t* Name;
        const char16_t* Text;
    };
    const Case Cases[] = {
        {u"mi_mincaption", u"Mi&nimize"},
        {u"FLV_LOOKIN", u"Look in: "},
        {u"MSG_BTN_OK", u"OK"},
        {u"MSG_CAP_SHOWFLAG", u"Do not display this message again"},
        {u"FIND_REPLACE_ALL", u"Replace All"},
        {u"RESTORE_HINT", u"Restore"},
        {u"NO_SUCH_NAME", u""},
        {u"", u""},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(R->GetResStr(C.Name), C.Text) << UTF8Encode(String(C.Name));
}

TEST(TbsResourceStrData, ReplacedLines) {
    std::unique_ptr<TbsResourceStrData> R(new TbsResourceStrData(nullptr));
    TStringList Lines;
    Lines.AddStrings({u"EDIT_COPY=Kopieren", u"EMPTY=", u"A=b=c", u"NOEQUALS", u"a=second", u"=nameless"});
    R->SetResStrings(&Lines);
    struct Case {
        const char16_t* Name;
        const char16_t* Text;
    };
    const Case Cases[] = {
        {u"EDIT_COPY", u"Kopieren"}, {u"EDIT_CUT", u""}, {u"EMPTY", u""}, {u"A", u"b=c"},
        {u"NOEQUALS", u""},          {u"", u"nameless"}, {u"a", u"b=c"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(R->GetResStr(C.Name), C.Text) << UTF8Encode(String(C.Name));
    Lines.Clear(); // a copy was taken
    EXPECT_EQ(R->GetResStr(u"EDIT_COPY"), u"Kopieren");
}
