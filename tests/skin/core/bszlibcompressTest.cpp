#include <gtest/gtest.h>

#include <string>

#include "skin/core/bszlibcompress.h"

namespace {

std::string Bytes(TMemoryStream& S) {
    return std::string(static_cast<const char*>(S.Memory()), static_cast<std::size_t>(S.Size()));
}

void Put(TMemoryStream& S, const std::string& Data) {
    S.Clear();
    S.WriteBuffer(Data.data(), static_cast<std::int64_t>(Data.size()));
}

} // namespace

TEST(bszlibcompress, RoundTripAtTheHighestLevel) {
    std::string Text;
    for (int I = 0; I < 5000; ++I)
        Text += "skinrect=" + std::to_string(I) + ",0,10,10\r\n";
    TMemoryStream Source, Packed, Unpacked;
    Put(Source, Text);
    CompressStream(&Source, &Packed);
    const std::string P = Bytes(Packed);
    ASSERT_GE(P.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(P[0]), 0x78);
    EXPECT_EQ(static_cast<unsigned char>(P[1]), 0xDA);
    DecompressStream(&Unpacked, &Packed);
    EXPECT_EQ(Bytes(Unpacked), Text);
}

TEST(bszlibcompress, TrailingBytesAreLeftAndTruncationIsAnError) {
    TMemoryStream Source, Packed, Unpacked;
    Put(Source, "hello hello hello");
    CompressStream(&Source, &Packed);
    const std::string P = Bytes(Packed);
    TMemoryStream Trailing;
    Put(Trailing, P + "garbage after the end");
    DecompressStream(&Unpacked, &Trailing);
    EXPECT_EQ(Bytes(Unpacked), "hello hello hello");

    for (std::size_t Cut : {std::size_t(0), std::size_t(1), P.size() / 2, P.size() - 1}) {
        TMemoryStream Short, Out;
        Put(Short, P.substr(0, Cut));
        EXPECT_THROW(DecompressStream(&Out, &Short), EDecompressionError) << Cut;
    }
    TMemoryStream Bad, Out;
    Put(Bad, "\x78\xDA not deflate data at all");
    try {
        DecompressStream(&Out, &Bad);
        ADD_FAILURE() << "no error";
    } catch (const EDecompressionError& E) {
        EXPECT_EQ(E.Message(), u"compression error");
    }
    // A header that asks for a preset dictionary must end in an error, not in a reader that never advances.
    TMemoryStream Dict, DictOut;
    Put(Dict, std::string("\x78\x20\x00\x00\x00\x01\x4b\x04\x00", 9));
    EXPECT_THROW(DecompressStream(&DictOut, &Dict), EDecompressionError);
}

TEST(bszlibcompress, StreamsRefuseTheWrongDirection) {
    TMemoryStream Dest;
    {
        TCompressionStream C(TCompressionLevel::clMax, &Dest);
        EXPECT_EQ(C.CompressionRate(), 0.0f);
        C.WriteBuffer("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", 30);
        EXPECT_EQ(C.Seek(0, soCurrent), 30);
        char B;
        EXPECT_THROW(C.Read(&B, 1), ECompressionError);
        EXPECT_THROW(C.Seek(5, soBeginning), ECompressionError);
    }
    Dest.SetPosition(0);
    TDecompressionStream D(&Dest);
    char Out[40] = {};
    EXPECT_EQ(D.Read(Out, 40), 30);
    EXPECT_THROW(D.Write(Out, 1), EDecompressionError);
    EXPECT_EQ(D.Seek(0, soBeginning), 0);
    EXPECT_EQ(D.Seek(10, soCurrent), 10);
    EXPECT_EQ(D.Read(Out, 40), 20);
    try {
        D.Seek(5, soBeginning);
        ADD_FAILURE() << "no error";
    } catch (const EDecompressionError& E) {
        EXPECT_EQ(E.Message(), u"Invalid stream operation");
    }
}

TEST(bszlibcompress, InflatingPastALimitIsRefused) {
    TMemoryStream Source, Packed, Out;
    Put(Source, std::string(100000, 'x'));
    CompressStream(&Source, &Packed);
    EXPECT_THROW(DecompressStream(&Out, &Packed, 50000), EDecompressionError);
}
