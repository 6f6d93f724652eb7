#include "solver/record_reader.h"

#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace resist_model {

namespace {

std::uint32_t BigEndian32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) |
           (std::uint32_t(p[2]) << 8) | std::uint32_t(p[3]);
}

double BigEndianDouble(const unsigned char* p) {
    std::uint64_t bits = 0;
    for (int b = 0; b < 8; ++b) bits = (bits << 8) | p[b];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

constexpr std::uint64_t kMaxRecordBytes = std::numeric_limits<std::uint32_t>::max();

}  // namespace

RecordReader::~RecordReader() {
    if (file_) std::fclose(file_);
}

bool RecordReader::Open(const std::string& path) {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    // Opened without blocking: a FIFO or a device would otherwise wait here for a writer
    // before the check below could refuse it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return false;
    }
    file_ = ::fdopen(fd, "rb");
    if (!file_) {
        ::close(fd);
        return false;
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
    position_ = 0;
    return true;
}

bool RecordReader::ReadCount(std::uint32_t& count) {
    unsigned char bytes[4];
    if (Remaining() < 4 || std::fread(bytes, 1, 4, file_) != 4) return false;
    position_ += 4;
    count = BigEndian32(bytes);
    return true;
}

bool RecordReader::ReadPayload(std::uint64_t bytes, std::vector<unsigned char>& payload) {
    if (!file_ || bytes > kMaxRecordBytes) return false;
    std::uint32_t leading = 0;
    if (!ReadCount(leading) || leading != bytes) return false;
    // The payload and the trailing count must both be in the file before we allocate.
    if (Remaining() < bytes + 4) return false;
    payload.resize(bytes);
    if (bytes > 0 && std::fread(payload.data(), 1, bytes, file_) != bytes) return false;
    position_ += bytes;
    std::uint32_t trailing = 0;
    return ReadCount(trailing) && trailing == leading;
}

bool RecordReader::ReadInts(std::uint64_t count, std::vector<std::int32_t>& values) {
    if (count > kMaxRecordBytes / 4 || !ReadPayload(count * 4, payload_)) return false;
    values.resize(count);
    for (std::uint64_t n = 0; n < count; ++n) {
        values[n] = static_cast<std::int32_t>(BigEndian32(&payload_[n * 4]));
    }
    return true;
}

bool RecordReader::ReadDoubles(std::uint64_t count, std::vector<double>& values) {
    if (count > kMaxRecordBytes / 8 || !ReadPayload(count * 8, payload_)) return false;
    values.resize(count);
    for (std::uint64_t n = 0; n < count; ++n) values[n] = BigEndianDouble(&payload_[n * 8]);
    return true;
}

bool RecordReader::ReadBytes(std::uint64_t count, std::string& bytes) {
    if (!ReadPayload(count, payload_)) return false;
    bytes.assign(payload_.begin(), payload_.end());
    return true;
}

bool RecordReader::ReadIntAndDouble(std::int32_t& int_value, double& real_value) {
    if (!ReadPayload(12, payload_)) return false;
    int_value = static_cast<std::int32_t>(BigEndian32(&payload_[0]));
    real_value = BigEndianDouble(&payload_[4]);
    return true;
}

bool RecordReader::ReadInt(std::int32_t& value) {
    if (!ReadPayload(4, payload_)) return false;
    value = static_cast<std::int32_t>(BigEndian32(&payload_[0]));
    return true;
}

}  // namespace resist_model
