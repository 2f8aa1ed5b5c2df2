#include "Stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "numeric/Extended80.h"

namespace kd {

std::size_t MemorySource::ReadSome(void* dst, std::size_t n) {
    std::size_t k = std::min(n, n_ - pos_);
    if (k) std::memcpy(dst, p_ + pos_, k);
    pos_ += k;
    return k;
}

bool MemorySink::WriteAll(const void* src, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(src);
    bytes_.insert(bytes_.end(), p, p + n);
    return true;
}

FileSource::FileSource(const std::string& path) {
    f_ = std::fopen(path.c_str(), "rb");
    if (!f_) return;
    if (std::fseek(f_, 0, SEEK_END) == 0) {
        long s = std::ftell(f_);
        if (s >= 0) size_ = static_cast<std::uint64_t>(s);
    }
    if (std::fseek(f_, 0, SEEK_SET) != 0) {
        std::fclose(f_);
        f_ = nullptr;
    }
}

FileSource::~FileSource() {
    if (f_) std::fclose(f_);
}

std::size_t FileSource::ReadSome(void* dst, std::size_t n) {
    if (!f_) return 0;
    std::size_t k = std::fread(dst, 1, n, f_);
    pos_ += k;
    if (pos_ > size_) size_ = pos_;
    return k;
}

FileSink::FileSink(const std::string& path) { f_ = std::fopen(path.c_str(), "wb"); }

FileSink::~FileSink() {
    if (f_) std::fclose(f_);
}

bool FileSink::WriteAll(const void* src, std::size_t n) {
    if (!f_ || !ok_) return false;
    if (n && std::fwrite(src, 1, n, f_) != n) ok_ = false;
    return ok_;
}

bool FileSink::Close() {
    if (!f_) return false;
    bool ok = ok_ && std::fflush(f_) == 0;
    ok = (std::fclose(f_) == 0) && ok;
    f_ = nullptr;
    return ok;
}

bool BufferedReader::Fill() {
    if (pos_ < end_) return true;
    pos_ = 0;
    end_ = src_.ReadSome(buf_, BufferSize);
    return end_ > 0;
}

bool BufferedReader::Read(void* dst, std::size_t n) {
    auto* out = static_cast<std::uint8_t*>(dst);
    while (n > 0) {
        if (!Fill()) return false;
        std::size_t k = std::min(n, end_ - pos_);
        std::memcpy(out, buf_ + pos_, k);
        pos_ += k;
        out += k;
        n -= k;
        consumed_ += k;
    }
    return true;
}

std::uint64_t BufferedReader::Remaining() const {
    std::uint64_t r = src_.Remaining();
    if (r == std::numeric_limits<std::uint64_t>::max()) return r;
    return r + (end_ - pos_);
}

bool BufferedReader::ReadI32(std::int32_t& v) {
    std::uint8_t b[4];
    if (!Read(b, 4)) return false;
    v = static_cast<std::int32_t>(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                                  std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24);
    return true;
}

bool BufferedReader::ReadU32(std::uint32_t& v) {
    std::int32_t i;
    if (!ReadI32(i)) return false;
    v = static_cast<std::uint32_t>(i);
    return true;
}

bool BufferedReader::ReadU8(std::uint8_t& v) { return Read(&v, 1); }

bool BufferedReader::ReadExtended(Extended& v) {
    std::uint8_t b[10];
    if (!Read(b, 10)) return false;
    v = BytesToExtended(b);
    return true;
}

bool BufferedReader::ReadFilerString(std::string& s, std::uint8_t* kindOut) {
    std::uint8_t kind;
    if (!ReadU8(kind)) return false;
    if (kindOut) *kindOut = kind;
    std::uint64_t len = 0;
    if (kind == 6) {
        std::uint8_t l;
        if (!ReadU8(l)) return false;
        len = l;
    } else if (kind == 12) {
        std::int32_t l;
        if (!ReadI32(l) || l < 0) return false;
        len = static_cast<std::uint64_t>(l);
    } else {
        return false;
    }
    if (len > Remaining()) return false;  // never allocate more than the source holds
    std::size_t keep = static_cast<std::size_t>(std::min<std::uint64_t>(len, KurzerStringMax));
    s.assign(keep, '\0');
    if (!Read(s.data(), keep)) return false;
    // The rest of an over-long text is read and dropped.
    std::uint8_t skip[256];
    for (std::uint64_t rest = len - keep; rest > 0;) {
        std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>(rest, sizeof skip));
        if (!Read(skip, k)) return false;
        rest -= k;
    }
    return true;
}

void BufferedWriter::Write(const void* src, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(src);
    while (n > 0) {
        if (n_ == BufferSize) Flush();
        std::size_t k = std::min(n, BufferSize - n_);
        std::memcpy(buf_ + n_, p, k);
        n_ += k;
        p += k;
        n -= k;
    }
}

void BufferedWriter::WriteI32(std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    std::uint8_t b[4] = {std::uint8_t(u), std::uint8_t(u >> 8), std::uint8_t(u >> 16),
                         std::uint8_t(u >> 24)};
    Write(b, 4);
}

void BufferedWriter::WriteU32(std::uint32_t v) { WriteI32(static_cast<std::int32_t>(v)); }

void BufferedWriter::WriteU8(std::uint8_t v) { Write(&v, 1); }

void BufferedWriter::WriteExtended(Extended v) {
    std::uint8_t b[10];
    ExtendedToBytes(v, b);
    Write(b, 10);
}

void BufferedWriter::WriteFilerString(const std::string& s) {
    if (s.size() <= 255) {
        WriteU8(6);
        WriteU8(static_cast<std::uint8_t>(s.size()));
    } else {
        WriteU8(12);
        WriteI32(static_cast<std::int32_t>(s.size()));
    }
    Write(s.data(), s.size());
}

bool BufferedWriter::Flush() {
    if (n_ > 0) {
        if (!sink_.WriteAll(buf_, n_)) ok_ = false;
        n_ = 0;
    }
    return ok_;
}

} // namespace kd
