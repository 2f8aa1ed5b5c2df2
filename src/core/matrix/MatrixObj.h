#pragma once
// TMatrixObj: a dense table of extended values, row after row, each element stored
// unboxed as the 10 bytes of the x87 format. It holds the value table of a curve
// tabulation and the tables that formulas address by cell.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/Types.h"

namespace kd {

class TMatrixObj {
public:
    static constexpr std::size_t ElementBytes = 10;
    // An element that holds no value: the extended value nearest to 1E200.
    static constexpr Extended EmptyValue = Leerwert;
    // Its x87 bytes, little-endian: mantissa A738C6BEBB12D16D, exponent/sign 4297.
    static constexpr std::array<std::uint8_t, ElementBytes> EmptyValueBytes = {
        0x6D, 0xD1, 0x12, 0xBB, 0xBE, 0xC6, 0x38, 0xA7, 0x97, 0x42};

    // Create: owned storage of rows x cols elements, all EmptyValue. Negative
    // counts are taken as 0; more than 2^31 - 1 elements throw std::length_error.
    TMatrixObj(std::int32_t rows, std::int32_t cols);
    // A matrix over borrowed storage of at least rows x cols x 10 bytes. The storage
    // is neither cleared nor freed (OwnsData is false).
    TMatrixObj(std::uint8_t* storage, std::int32_t rows, std::int32_t cols);
    virtual ~TMatrixObj();
    TMatrixObj(const TMatrixObj&) = delete;
    TMatrixObj& operator=(const TMatrixObj&) = delete;

    // Sets the first (LastRow + 1) x (LastCol + 1) elements to EmptyValue.
    virtual void Clear();
    // Element (row, col), both from 0, relative to the origins. An index outside the
    // matrix reads EmptyValue and writes nothing.
    virtual Extended GetValue(std::int32_t row, std::int32_t col) const;
    virtual void SetValue(std::int32_t row, std::int32_t col, Extended value);

    // MaxValue and MinValue over rows 1..rowCount and columns 1..colCount (row 0 and
    // column 0 hold the abscissas), skipping EmptyValue. With no value found they
    // stay -1E100 and +1E100. Counts beyond the matrix are cut to it.
    void FindMinMax(std::int32_t colCount, std::int32_t rowCount);

    // Fields in their declared order.
    std::uint8_t* Data = nullptr;   // Capacity elements of ElementBytes each
    std::int32_t LastCol = -1;      // columns - 1
    std::int32_t LastRow = -1;      // rows - 1
    std::int32_t SavedLastCol = -1; // copies kept by view operations
    std::int32_t SavedLastRow = -1;
    std::int32_t ColOrigin = 0;     // origin of the visible window in the storage
    std::int32_t RowOrigin = 0;
    std::int32_t SavedColOrigin = 0;
    std::int32_t SavedRowOrigin = 0;
    std::int32_t Capacity = 0;      // rows x cols at creation
    Extended MaxValue = 0;          // results of FindMinMax
    Extended MinValue = 0;
    std::int32_t MarkRow = 0;       // a marked range for interactive editing
    std::int32_t MarkCol = 0;
    std::int32_t MarkCount = 0;
    bool OwnsData = false;          // the storage belongs to the matrix

private:
    // Storage index of (row, col), or -1 outside the matrix or the storage.
    std::int64_t Index(std::int32_t row, std::int32_t col) const;

    std::unique_ptr<std::uint8_t[]> eigen_;  // owned storage; none when borrowed
};

} // namespace kd
