#include <gtest/gtest.h>

#include "platform/base/Classes.h"
#include "tests/support/TempDir.h"

namespace {

TEST(TMemoryStream, ReadsWritesSeeksAndRaisesOnShortRead) {
    TMemoryStream m;
    m.WriteValue<std::int32_t>(0x01020304);
    m.WriteBuffer("abc", 3);
    EXPECT_EQ(m.Size(), 7);
    EXPECT_EQ(m.Position(), 7);
    m.SetPosition(0);
    EXPECT_EQ(m.ReadValue<std::int32_t>(), 0x01020304);
    EXPECT_EQ(static_cast<const Byte*>(m.Memory())[0], 0x04); // little-endian
    char buf[8] = {};
    EXPECT_EQ(m.Read(buf, 8), 3);
    EXPECT_STREQ(buf, "abc");
    m.Seek(-2, soEnd);
    try {
        m.ReadBuffer(buf, 3);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), u"Stream read error");
    }
    m.SetSize(2);
    EXPECT_EQ(m.Position(), 2);
    m.Seek(4, soBeginning);
    m.WriteBuffer("z", 1); // writing past the end grows the stream
    EXPECT_EQ(m.Size(), 5);
}

TEST(TFileStream, CreatesOpensAndReportsFailures) {
    TTempDir tmp;
    const String name = tmp / u"中.bin";
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("0123456789", 10);
    }
    {
        TFileStream f(name, fmOpenRead | fmShareDenyWrite);
        EXPECT_EQ(f.Size(), 10);
        f.Seek(4, soBeginning);
        char b[3] = {};
        f.ReadBuffer(b, 2);
        EXPECT_STREQ(b, "45");
        EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);
        f.Seek(-1, soEnd);
        EXPECT_THROW(f.ReadBuffer(b, 2), EReadError);
    }
    {
        TFileStream f(name, fmOpenReadWrite);
        f.SetSize(3);
        EXPECT_EQ(f.Size(), 3);
    }
    try {
        TFileStream f(tmp / u"none.bin", fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), u"Cannot open file \"" + tmp / u"none.bin" + u"\". No such file or directory");
    }
    EXPECT_THROW(TFileStream(tmp.Path(), fmOpenRead), EFOpenError);
    try {
        TFileStream f(tmp / u"no/dir.bin", fmCreate);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), u"Cannot create file \"" + tmp / u"no/dir.bin" + u"\". No such file or directory");
    }
}

TEST(TStream, CopyFromCopiesAllOrACount) {
    TStringStream source(String(u"héllo world"));
    TMemoryStream dest;
    EXPECT_EQ(dest.CopyFrom(&source, 0), 12);
    source.SetPosition(7);
    dest.CopyFrom(&source, 5);
    TStringStream text;
    dest.SaveToStream(&text);
    EXPECT_EQ(text.DataString(), u"héllo worldworld");
    source.SetPosition(10);
    EXPECT_THROW(dest.CopyFrom(&source, 5), EReadError);
    text.SetPosition(0);
    EXPECT_EQ(text.ReadString(2), u"h\u00C3"); // the first byte of é alone reads as Latin-1
}

} // namespace
