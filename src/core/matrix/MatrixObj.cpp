#include "MatrixObj.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "core/numeric/Extended80.h"

namespace kd {

namespace {

std::int32_t Kapazitaet(std::int32_t rows, std::int32_t cols) {
    const std::int64_t n = static_cast<std::int64_t>(rows) * cols;
    if (n > INT32_MAX) throw std::length_error("TMatrixObj: too many elements");
    return static_cast<std::int32_t>(n);
}

} // namespace

TMatrixObj::TMatrixObj(std::int32_t rows, std::int32_t cols) {
    rows = std::max(rows, 0);
    cols = std::max(cols, 0);
    Capacity = Kapazitaet(rows, cols);
    eigen_ = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(Capacity) * ElementBytes);
    Data = eigen_.get();
    OwnsData = true;
    LastRow = rows - 1;
    LastCol = cols - 1;
    Clear();
}

TMatrixObj::TMatrixObj(std::uint8_t* storage, std::int32_t rows, std::int32_t cols) {
    rows = std::max(rows, 0);
    cols = std::max(cols, 0);
    Capacity = storage ? Kapazitaet(rows, cols) : 0;
    Data = storage;
    OwnsData = false;
    LastRow = storage ? rows - 1 : -1;
    LastCol = storage ? cols - 1 : -1;
}

// Owned storage goes with eigen_; borrowed storage is never touched here.
TMatrixObj::~TMatrixObj() = default;

void TMatrixObj::Clear() {
    if (!Data || LastRow < 0 || LastCol < 0) return;
    const std::int64_t n = std::min<std::int64_t>(static_cast<std::int64_t>(LastRow + 1) * (LastCol + 1), Capacity);
    for (std::int64_t i = 0; i < n; ++i)
        std::memcpy(Data + i * static_cast<std::int64_t>(ElementBytes), EmptyValueBytes.data(), ElementBytes);
}

std::int64_t TMatrixObj::Index(std::int32_t row, std::int32_t col) const {
    if (!Data || row < 0 || col < 0 || row > LastRow || col > LastCol) return -1;
    const std::int64_t i = (static_cast<std::int64_t>(row) + RowOrigin) * (static_cast<std::int64_t>(LastCol) + 1) +
                           (static_cast<std::int64_t>(col) + ColOrigin);
    return (i >= 0 && i < Capacity) ? i : -1;
}

Extended TMatrixObj::GetValue(std::int32_t row, std::int32_t col) const {
    const std::int64_t i = Index(row, col);
    if (i < 0) return EmptyValue;
    return BytesToExtended(Data + i * static_cast<std::int64_t>(ElementBytes));
}

void TMatrixObj::SetValue(std::int32_t row, std::int32_t col, Extended value) {
    const std::int64_t i = Index(row, col);
    if (i < 0) return;
    ExtendedToBytes(value, Data + i * static_cast<std::int64_t>(ElementBytes));
}

void TMatrixObj::FindMinMax(std::int32_t colCount, std::int32_t rowCount) {
    MaxValue = -1E100L;
    MinValue = 1E100L;
    const std::int32_t rows = std::min(rowCount, LastRow);
    const std::int32_t cols = std::min(colCount, LastCol);
    for (std::int32_t r = 1; r <= rows; ++r)
        for (std::int32_t c = 1; c <= cols; ++c) {
            const Extended v = GetValue(r, c);
            if (v == EmptyValue) continue;
            if (v > MaxValue) MaxValue = v;
            if (v < MinValue) MinValue = v;
        }
}

} // namespace kd
