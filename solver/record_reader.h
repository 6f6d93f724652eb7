#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace resist_model {

// Reads the solver input: a sequence of records, each a big-endian 32-bit byte count, the
// payload and the same count again. Every read consumes exactly one record and checks
// both counts against the size the caller expects and against what is left of the file
// before anything is allocated, so a truncated or inconsistent file is refused, never
// read past.
class RecordReader {
public:
    RecordReader() = default;
    ~RecordReader();
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    // Opens the file read-only; false when it does not exist or cannot be read.
    bool Open(const std::string& path);

    // One record of exactly `count` big-endian 32-bit integers.
    bool ReadInts(std::uint64_t count, std::vector<std::int32_t>& values);
    // One record of exactly `count` big-endian binary64 reals.
    bool ReadDoubles(std::uint64_t count, std::vector<double>& values);
    // One record of exactly `count` raw bytes.
    bool ReadBytes(std::uint64_t count, std::string& bytes);
    // One record of one integer directly followed by one real.
    bool ReadIntAndDouble(std::int32_t& int_value, double& real_value);

    bool ReadInt(std::int32_t& value);

    std::uint64_t Remaining() const { return size_ - position_; }

private:
    bool ReadPayload(std::uint64_t bytes, std::vector<unsigned char>& payload);
    bool ReadCount(std::uint32_t& count);

    std::FILE* file_ = nullptr;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0;
    std::vector<unsigned char> payload_;
};

}  // namespace resist_model
