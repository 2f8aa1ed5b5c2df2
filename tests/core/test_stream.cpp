#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/Stream.h"
#include "core/numeric/Encoding.h"
#include "core/numeric/Extended80.h"

using namespace kd;

TEST(Stream, IntegersAreLittleEndianAndReadsPastTheEndFail) {
    MemorySink sink;
    {
        BufferedWriter w(sink);
        w.WriteI32(-2);
        w.WriteU8(7);
        w.WriteFilerString("abc");
    }
    const std::vector<std::uint8_t> expect = {0xFE, 0xFF, 0xFF, 0xFF, 7, 6, 3, 'a', 'b', 'c'};
    EXPECT_EQ(sink.Bytes(), expect);

    MemorySource src(sink.Bytes().data(), sink.Bytes().size());
    BufferedReader r(src);
    std::int32_t i = 0;
    std::uint8_t b = 0;
    std::string s;
    ASSERT_TRUE(r.ReadI32(i));
    ASSERT_TRUE(r.ReadU8(b));
    ASSERT_TRUE(r.ReadFilerString(s));
    EXPECT_EQ(i, -2);
    EXPECT_EQ(b, 7);
    EXPECT_EQ(s, "abc");
    EXPECT_FALSE(r.ReadU8(b));
}

TEST(Stream, FilerStringKindsAndBounds) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        bool ok;
        std::size_t len;
    };
    std::vector<std::uint8_t> longText = {12, 0x2C, 0x01, 0, 0};  // 300 characters
    longText.insert(longText.end(), 300, 'x');
    const Case cases[] = {
        {{6, 0}, true, 0},
        {{6, 3, 'a', 'b'}, false, 0},              // ends early
        {{7, 1, 'a'}, false, 0},                   // unknown kind
        {{12, 0xFF, 0xFF, 0xFF, 0xFF}, false, 0},  // negative length
        {{12, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}, false, 0},  // longer than the source
        {longText, true, 255},                     // cut to a short string
    };
    for (const auto& c : cases) {
        MemorySource src(c.bytes.data(), c.bytes.size());
        BufferedReader r(src);
        std::string s;
        EXPECT_EQ(r.ReadFilerString(s), c.ok);
        if (c.ok) {
            EXPECT_EQ(s.size(), c.len);
            EXPECT_EQ(r.Remaining(), 0u);
        }
    }
}

TEST(Stream, BufferBoundariesKeepEveryByte) {
    MemorySink sink;
    {
        BufferedWriter w(sink);
        for (int i = 0; i < 3000; ++i) w.WriteI32(i);
    }
    ASSERT_EQ(sink.Bytes().size(), 12000u);
    MemorySource src(sink.Bytes().data(), sink.Bytes().size());
    BufferedReader r(src);
    for (int i = 0; i < 3000; ++i) {
        std::int32_t v;
        ASSERT_TRUE(r.ReadI32(v));
        ASSERT_EQ(v, i);
    }
}

TEST(Extended80, TenByteCodec) {
    // 1.0 is mantissa 8000000000000000, exponent 3FFF.
    std::uint8_t b[10];
    ExtendedToBytes(1.0L, b);
    const std::uint8_t one[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
    EXPECT_EQ(std::memcmp(b, one, 10), 0);
    for (Extended v : {0.0L, -2.5L, 1E300L, 1E-4000L, 3.141592653589793238L}) {
        ExtendedToBytes(v, b);
        EXPECT_EQ(BytesToExtended(b), v);
    }
}

TEST(Encoding, Cp1252RoundTripAndRefusal) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    std::string back;
    EXPECT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(all), back));
    EXPECT_EQ(back, all);

    EXPECT_EQ(Cp1252ToUtf8("FAKULT\xC4T \x80"), "FAKULTÄT €");
    std::string out;
    EXPECT_TRUE(Utf8ToCp1252("Größe", out));
    EXPECT_EQ(out, "Gr\xF6\xDF" "e");
    EXPECT_FALSE(Utf8ToCp1252("α", out));   // Greek is written as ~a in formula text
    EXPECT_FALSE(Utf8ToCp1252("\xC3", out)); // cut UTF-8
}
