#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "core/matrix/MatrixObj.h"
#include "core/numeric/Extended80.h"
#include "core/numeric/Zahlen.h"

using namespace kd;

TEST(MatrixObj, EmptyValueIsTheExtendedNearestTo1E200) {
    std::uint8_t b[10];
    ExtendedToBytes(TMatrixObj::EmptyValue, b);
    EXPECT_EQ(std::memcmp(b, TMatrixObj::EmptyValueBytes.data(), 10), 0);
    // Exponent and sign word 4297, mantissa A738C6BEBB12D16D.
    std::uint64_t mantisse = 0;
    std::memcpy(&mantisse, b, 8);
    EXPECT_EQ(mantisse, 0xA738C6BEBB12D16DULL);
    EXPECT_EQ(b[8] | (b[9] << 8), 0x4297);
    EXPECT_EQ(TMatrixObj::EmptyValue, Leerwert);
    Extended gelesen = 0;
    ASSERT_EQ(ParseDecimal("1E200", gelesen), 0);  // correctly rounded reading
    EXPECT_EQ(BytesToExtended(TMatrixObj::EmptyValueBytes.data()), gelesen);
}

TEST(MatrixObj, CreateFillsEveryElementWithEmptyValue) {
    TMatrixObj m(3, 4);
    EXPECT_EQ(m.LastRow, 2);
    EXPECT_EQ(m.LastCol, 3);
    EXPECT_EQ(m.Capacity, 12);
    EXPECT_EQ(m.RowOrigin, 0);
    EXPECT_EQ(m.ColOrigin, 0);
    EXPECT_TRUE(m.OwnsData);
    for (int i = 0; i < m.Capacity; ++i)
        EXPECT_EQ(std::memcmp(m.Data + i * 10, TMatrixObj::EmptyValueBytes.data(), 10), 0) << i;
    for (int r = 0; r <= m.LastRow; ++r)
        for (int c = 0; c <= m.LastCol; ++c) EXPECT_EQ(m.GetValue(r, c), TMatrixObj::EmptyValue);
}

TEST(MatrixObj, ElementsAreTenBytesRowAfterRow) {
    TMatrixObj m(2, 3);
    const Extended werte[] = {-1.5L, 1E4000L, -0.0L, 3.6E-4951L, 0.1L, 42};
    for (int i = 0; i < 6; ++i) m.SetValue(i / 3, i % 3, werte[i]);
    for (int i = 0; i < 6; ++i) {
        const Extended v = m.GetValue(i / 3, i % 3);
        EXPECT_EQ(v, werte[i]) << i;
        EXPECT_EQ(std::signbit(v), std::signbit(werte[i])) << i;
        // Element (r, c) lies at storage index r * columns + c.
        EXPECT_EQ(BytesToExtended(m.Data + i * 10), werte[i]) << i;
    }
    m.Clear();
    for (int i = 0; i < 6; ++i) EXPECT_EQ(m.GetValue(i / 3, i % 3), TMatrixObj::EmptyValue);
}

TEST(MatrixObj, OutsideIndicesReadEmptyAndWriteNothing) {
    TMatrixObj m(2, 2);
    const std::vector<std::uint8_t> vorher(m.Data, m.Data + 40);
    const int indizes[][2] = {{-1, 0}, {0, -1}, {2, 0}, {0, 2}, {INT32_MAX, INT32_MAX}, {INT32_MIN, 1}};
    for (const auto& ix : indizes) {
        m.SetValue(ix[0], ix[1], 7);
        EXPECT_EQ(m.GetValue(ix[0], ix[1]), TMatrixObj::EmptyValue);
    }
    EXPECT_EQ(std::vector<std::uint8_t>(m.Data, m.Data + 40), vorher);
}

TEST(MatrixObj, FindMinMaxSkipsEmptyCellsRowZeroAndColumnZero) {
    const Extended E = TMatrixObj::EmptyValue;
    struct Fall {
        const char* name;
        std::vector<std::vector<Extended>> zeilen;  // row 0 first
        int spalten, reihen;                         // FindMinMax arguments
        Extended max, min;
    };
    const Fall faelle[] = {
        {"function values with a gap",
         {{E, 100, 200, 300}, {E, 3, E, -2}}, 3, 1, 3, -2},
        {"column 0 and row 0 do not count",
         {{E, 1E30L, 1E30L}, {-1E30L, 5, 6}, {1E30L, 7, -8}}, 2, 2, 7, -8},
        {"no stored value", {{E, E, E}, {E, E, E}}, 2, 1, -1E100L, 1E100L},
        {"zero counts", {{E, 1, 2}, {E, 3, 4}}, 0, 0, -1E100L, 1E100L},
        {"counts beyond the matrix are cut", {{E, 1}, {E, 9}}, 50, 50, 9, 9},
        {"only the given columns", {{E, 0, 0, 0}, {E, 1, 2, 99}}, 2, 1, 2, 1},
    };
    for (const auto& f : faelle) {
        TMatrixObj m(static_cast<int>(f.zeilen.size()), static_cast<int>(f.zeilen[0].size()));
        for (std::size_t r = 0; r < f.zeilen.size(); ++r)
            for (std::size_t c = 0; c < f.zeilen[r].size(); ++c)
                m.SetValue(static_cast<int>(r), static_cast<int>(c), f.zeilen[r][c]);
        m.FindMinMax(f.spalten, f.reihen);
        EXPECT_EQ(m.MaxValue, f.max) << f.name;
        EXPECT_EQ(m.MinValue, f.min) << f.name;
    }
}

TEST(MatrixObj, BorrowedStorageIsNeitherClearedNorFreed) {
    std::vector<std::uint8_t> speicher(2 * 2 * 10);
    ExtendedToBytes(12.5L, speicher.data());
    {
        TMatrixObj m(speicher.data(), 2, 2);
        EXPECT_FALSE(m.OwnsData);
        EXPECT_EQ(m.Capacity, 4);
        EXPECT_EQ(m.GetValue(0, 0), 12.5L);  // not cleared
        m.SetValue(1, 1, -3);
    }
    // The matrix is gone; the storage is still the caller's and holds its values.
    EXPECT_EQ(BytesToExtended(speicher.data()), 12.5L);
    EXPECT_EQ(BytesToExtended(speicher.data() + 30), -3);

    // Setting the flag on a borrowing matrix does not make it free the storage.
    {
        TMatrixObj m(speicher.data(), 2, 2);
        m.OwnsData = true;
    }
    EXPECT_EQ(BytesToExtended(speicher.data() + 30), -3);
}

TEST(MatrixObj, DegenerateSizes) {
    TMatrixObj leer(0, 5);
    EXPECT_EQ(leer.Capacity, 0);
    EXPECT_EQ(leer.LastRow, -1);
    EXPECT_EQ(leer.GetValue(0, 0), TMatrixObj::EmptyValue);
    leer.FindMinMax(5, 5);
    EXPECT_EQ(leer.MaxValue, -1E100L);

    TMatrixObj negativ(-3, 2);
    EXPECT_EQ(negativ.Capacity, 0);
    negativ.SetValue(0, 0, 1);  // ignored

    TMatrixObj ohneSpeicher(nullptr, 4, 4);
    EXPECT_EQ(ohneSpeicher.Capacity, 0);
    EXPECT_EQ(ohneSpeicher.GetValue(1, 1), TMatrixObj::EmptyValue);

    EXPECT_THROW(TMatrixObj(65536, 65536), std::length_error);
}
