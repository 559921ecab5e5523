#include <gtest/gtest.h>

#include "platform/base/Classes.h"
#include "tests/support/TempDir.h"

namespace {

std::vector<String> Items(const TStrings& s) {
    return s.ToVector();
}

TEST(TStringList, NamesAndValues) {
    TStringList list;
    list.SetText(u"Thread_Count=2\r\nAfter_Done=0\nnovalue\rTitle=a=b");
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Values(u"thread_count"), u"2");
    EXPECT_EQ(list.Values(u"Title"), u"a=b");
    EXPECT_EQ(list.Values(u"novalue"), u"");
    EXPECT_EQ(list.Names(3), u"Title");
    EXPECT_EQ(list.Names(2), u"");
    EXPECT_EQ(list.ValueFromIndex(1), u"0");
    EXPECT_EQ(list.IndexOfName(u"AFTER_DONE"), 1);
    list.SetValues(u"After_Done", u"3");
    list.SetValues(u"New", u"x");
    list.SetValues(u"Thread_Count", u"");
    EXPECT_EQ(Items(list), (std::vector<String>{u"After_Done=3", u"novalue", u"Title=a=b", u"New=x"}));
    EXPECT_EQ(list.Text(), u"After_Done=3\r\nnovalue\r\nTitle=a=b\r\nNew=x\r\n");
}

TEST(TStringList, SortedCaseInsensitiveByDefault) {
    TStringList list;
    list.SetSorted(true);
    for (const char16_t* s : {u"beta", u"Alpha", u"gamma", u"ALPHA"})
        list.Add(s);
    EXPECT_EQ(Items(list), (std::vector<String>{u"Alpha", u"beta", u"gamma"})); // dupIgnore
    EXPECT_EQ(list.IndexOf(u"GAMMA"), 2);
    int index;
    EXPECT_FALSE(list.Find(u"delta", index));
    EXPECT_EQ(index, 2);
    try {
        list.Insert(0, u"x");
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), u"Operation not allowed on sorted list");
    }
    list.SetDuplicates(dupError);
    EXPECT_THROW(list.Add(u"BETA"), EStringListError);
    list.SetDuplicates(dupAccept);
    list.Add(u"BETA");
    EXPECT_EQ(list.Count(), 4);

    TStringList exact;
    exact.SetCaseSensitive(true);
    exact.AddStrings({u"a", u"A"});
    EXPECT_EQ(exact.IndexOf(u"A"), 1);
}

TEST(TStringList, ObjectsAndBadIndexes) {
    TStringList list;
    TObject o1, o2;
    list.AddObject(u"one", &o1);
    list.InsertObject(0, u"zero", &o2);
    EXPECT_EQ(list.Objects(1), &o1);
    EXPECT_EQ(list.IndexOfObject(&o2), 0);
    list.Exchange(0, 1);
    EXPECT_EQ(list[0], u"one");
    EXPECT_EQ(list.Objects(0), &o1);
    list.Move(0, 1);
    EXPECT_EQ(Items(list), (std::vector<String>{u"zero", u"one"}));
    for (int bad : {-1, 2}) {
        try {
            list.Strings(bad);
            FAIL();
        } catch (const EStringListError& e) {
            EXPECT_EQ(e.Message(), Format(u"List index out of bounds (%d)", {bad}));
        }
    }
    EXPECT_THROW(list.Delete(2), EListError);
}

TEST(TStringList, ChangeEventsWaitForEndUpdate) {
    TStringList list;
    int changes = 0, changing = 0;
    list.OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &list);
        ++changes;
    };
    list.OnChanging = [&](TObject*) { ++changing; };
    list.Add(u"a");
    EXPECT_EQ(changes, 1);
    list.BeginUpdate();
    list.Add(u"b");
    list.Add(u"c");
    list.Delete(0);
    EXPECT_EQ(changes, 1);
    list.EndUpdate();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(changing, 2);
}

TEST(TStringList, DelimitedAndCommaText) {
    struct Case {
        String Text;
        std::vector<String> Items;
    };
    const Case cases[] = {
        {u"a,b,c", {u"a", u"b", u"c"}},
        {u"\"a b\",c", {u"a b", u"c"}},
        {u"a b,c", {u"a", u"b", u"c"}}, // blanks separate too
        {u"\"say \"\"hi\"\"\",x", {u"say \"hi\"", u"x"}},
        {u"a,", {u"a", u""}},
        {u"a,,b", {u"a", u"", u"b"}},
        {u"", {}},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetCommaText(c.Text);
        EXPECT_EQ(Items(list), c.Items) << UTF8Encode(c.Text);
    }
    TStringList list;
    list.AddStrings({u"a b", u"c", u"q\"x", u""});
    EXPECT_EQ(list.CommaText(), u"\"a b\",c,\"q\"\"x\","); // a trailing empty item reads back too
    TStringList one;
    one.Add(u"");
    EXPECT_EQ(one.CommaText(), u"\"\"");
    TStringList strict;
    strict.SetDelimiter(u'|');
    strict.SetStrictDelimiter(true);
    strict.SetDelimitedText(u"a b|c d");
    EXPECT_EQ(Items(strict), (std::vector<String>{u"a b", u"c d"}));
    EXPECT_EQ(strict.DelimitedText(), u"a b|c d");
}

TEST(TStringList, FilesAreUtf8) {
    TTempDir tmp;
    TStringList list;
    list.AddStrings({u"中文", u"été"});
    list.SaveToFile(tmp / u"list.txt");
    TStringList back;
    back.LoadFromFile(tmp / u"list.txt");
    EXPECT_TRUE(back.Equals(&list));
    TStringStream bom(std::string("\xEF\xBB\xBFx\r\ny"));
    back.LoadFromStream(&bom);
    EXPECT_EQ(Items(back), (std::vector<String>{u"x", u"y"}));
    EXPECT_THROW(back.LoadFromFile(tmp / u"missing.txt"), EFOpenError);
}

TEST(TStringList, AssignCopiesStringsAndObjects) {
    TStringList a, b;
    TObject o;
    a.AddObject(u"x", &o);
    a.SetNameValueSeparator(u':');
    b.Add(u"old");
    b.Assign(&a);
    EXPECT_EQ(Items(b), (std::vector<String>{u"x"}));
    EXPECT_EQ(b.Objects(0), &o);
    EXPECT_EQ(b.NameValueSeparator(), u':');
}

TEST(TStringList, OwnsObjectsWhenAsked) {
    struct TMarker : TObject {
        explicit TMarker(int& n) : N(n) { ++N; }
        ~TMarker() override { --N; }
        int& N;
    };
    int alive = 0;
    {
        TStringList list(true);
        list.AddObject(u"a", new TMarker(alive));
        list.AddObject(u"b", new TMarker(alive));
        list.Delete(0);
        EXPECT_EQ(alive, 1);
    }
    EXPECT_EQ(alive, 0);
}

} // namespace
