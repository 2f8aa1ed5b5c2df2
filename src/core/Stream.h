#pragma once
// Buffered little-endian record streams (2048-byte buffer) over files or memory.
// Reads are bounds-checked: a read past the end fails cleanly (returns false) and
// never touches memory beyond what the source holds.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Types.h"

namespace kd {

// Where a reader takes its bytes from.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes; returns how many were read (0 at the end or on error).
    virtual std::size_t ReadSome(void* dst, std::size_t n) = 0;
    // Bytes not yet read, or SIZE_MAX when unknown.
    virtual std::uint64_t Remaining() const = 0;
};

// Where a writer puts its bytes.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all n bytes; false on failure (disk full, closed file, ...).
    virtual bool WriteAll(const void* src, std::size_t n) = 0;
};

class MemorySource final : public ByteSource {
public:
    MemorySource(const void* data, std::size_t size)
        : p_(static_cast<const std::uint8_t*>(data)), n_(size) {}
    std::size_t ReadSome(void* dst, std::size_t n) override;
    std::uint64_t Remaining() const override { return n_ - pos_; }
private:
    const std::uint8_t* p_;
    std::size_t n_;
    std::size_t pos_ = 0;
};

class MemorySink final : public ByteSink {
public:
    bool WriteAll(const void* src, std::size_t n) override;
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
private:
    std::vector<std::uint8_t> bytes_;
};

// A file opened with fopen; closes itself. Names are native (UTF-8) paths.
class FileSource final : public ByteSource {
public:
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    bool IsOpen() const { return f_ != nullptr; }
    std::size_t ReadSome(void* dst, std::size_t n) override;
    std::uint64_t Remaining() const override { return size_ - pos_; }
private:
    std::FILE* f_ = nullptr;
    std::uint64_t size_ = 0;
    std::uint64_t pos_ = 0;
};

class FileSink final : public ByteSink {
public:
    explicit FileSink(const std::string& path);  // creates or truncates
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;
    bool IsOpen() const { return f_ != nullptr; }
    bool WriteAll(const void* src, std::size_t n) override;
    // Flushes the C buffers to the operating system and closes; false on any failure.
    bool Close();
private:
    std::FILE* f_ = nullptr;
    bool ok_ = true;
};

class BufferedReader {
public:
    static constexpr std::size_t BufferSize = 2048;
    explicit BufferedReader(ByteSource& src) : src_(src) {}

    // Reads exactly n bytes; false (and nothing consumed that matters) when fewer remain.
    bool Read(void* dst, std::size_t n);
    bool ReadI32(std::int32_t& v);
    bool ReadU32(std::uint32_t& v);
    bool ReadU8(std::uint8_t& v);
    bool ReadExtended(Extended& v);
    // A filer string: kind 6 (length byte) or kind 12 (32-bit length); longer texts are
    // cut to 255 characters. False on another kind, a negative length or an early end.
    bool ReadFilerString(std::string& s, std::uint8_t* kindOut = nullptr);
    // Bytes still available (buffered + source), SIZE_MAX when the source cannot tell.
    std::uint64_t Remaining() const;
    std::uint64_t Position() const { return consumed_; }

private:
    bool Fill();
    ByteSource& src_;
    std::uint8_t buf_[BufferSize];
    std::size_t pos_ = 0, end_ = 0;
    std::uint64_t consumed_ = 0;
};

class BufferedWriter {
public:
    static constexpr std::size_t BufferSize = 2048;
    explicit BufferedWriter(ByteSink& sink) : sink_(sink) {}
    ~BufferedWriter() { Flush(); }
    BufferedWriter(const BufferedWriter&) = delete;
    BufferedWriter& operator=(const BufferedWriter&) = delete;

    void Write(const void* src, std::size_t n);
    void WriteI32(std::int32_t v);
    void WriteU32(std::uint32_t v);
    void WriteU8(std::uint8_t v);
    void WriteExtended(Extended v);
    // Kind 6 with a length byte for texts up to 255 bytes, kind 12 otherwise.
    void WriteFilerString(const std::string& s);
    // Writes the buffer out; false once any write has failed.
    bool Flush();
    bool Ok() const { return ok_; }

private:
    ByteSink& sink_;
    std::uint8_t buf_[BufferSize];
    std::size_t n_ = 0;
    bool ok_ = true;
};

} // namespace kd
