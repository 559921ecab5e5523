#include <gtest/gtest.h>

#include "platform/base/System.h"

namespace {

struct Utf8Case {
    std::string Utf8;
    String Text;
};

TEST(UTF8, DecodesValidSequencesAndWidensInvalidBytesAsLatin1) {
    const Utf8Case cases[] = {
        {"", u""},
        {"abc", u"abc"},
        {"\xC3\xA9t\xC3\xA9", u"été"},
        {"\xE4\xB8\xAD\xE6\x96\x87", u"中文"},
        {"\xF0\x9F\x8E\xAC", u"\U0001F3AC"},
        {"caf\xE9", u"caf\u00E9"},                         // Latin-1 byte alone
        {"\xC3", u"\u00C3"},                               // sequence cut at the end
        {"\xE4\xB8x", u"\u00E4\u00B8x"},                   // sequence cut in the middle
        {"\xC0\xAF", u"\u00C0\u00AF"},                     // overlong "/"
        {"\xED\xA0\x80", u"\u00ED\u00A0\u0080"},           // encoded surrogate
        {"\xF4\x90\x80\x80", u"\u00F4\u0090\u0080\u0080"}, // above U+10FFFF
        {std::string("a\0b", 3), String(u"a\0b", 3)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UTF8ToString(c.Utf8), c.Text) << c.Utf8;
}

TEST(UTF8, EncodesPairsAndReplacesLoneSurrogates) {
    EXPECT_EQ(UTF8Encode(String(u"été 中文 \U0001F3AC")),
              "\xC3\xA9t\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x8E\xAC");
    EXPECT_EQ(UTF8Encode(String(u"a") + char16_t(0xD800) + u"b"), "a\xEF\xBF\xBD"
                                                                  "b");
    EXPECT_EQ(UTF8Encode(String(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
    EXPECT_EQ(UTF8Encode(String(1, char16_t(0xD83C))), "\xEF\xBF\xBD");
}

} // namespace

class TbsFormLayerWindow : public TObject {};

namespace quorvane_test {
class TInner : public TObject {};
class TRenamed : public TObject {
    QV_CLASS_NAME(TSomethingElse)
};
} // namespace quorvane_test

TEST(TObject, ClassNameIsTheClassOwnName) {
    TbsFormLayerWindow w;
    quorvane_test::TInner inner;
    quorvane_test::TRenamed renamed;
    const TObject& asBase = w;
    EXPECT_EQ(asBase.ClassName(), u"TbsFormLayerWindow");
    EXPECT_EQ(inner.ClassName(), u"TInner");
    EXPECT_EQ(renamed.ClassName(), u"TSomethingElse");
    EXPECT_EQ(TObject().ClassName(), u"TObject");
    EXPECT_TRUE(asBase.ClassNameIs(u"tbsformlayerwindow"));
    EXPECT_FALSE(asBase.ClassNameIs(u"TbsFormLayer"));
}
