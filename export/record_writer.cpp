#include "export/record_writer.h"

#include <cstring>
#include <limits>
#include <vector>

namespace pkg {

namespace {

void PutBigEndian32(unsigned char* out, uint32_t v) {
    out[0] = static_cast<unsigned char>(v >> 24);
    out[1] = static_cast<unsigned char>(v >> 16);
    out[2] = static_cast<unsigned char>(v >> 8);
    out[3] = static_cast<unsigned char>(v);
}

void PutBigEndian64(unsigned char* out, uint64_t v) {
    for (int n = 0; n < 8; ++n) out[n] = static_cast<unsigned char>(v >> (56 - 8 * n));
}

}  // namespace

RecordWriter::~RecordWriter() { Close(); }

bool RecordWriter::Open(const std::string& path) {
    Close();
    ok_ = true;
    file_ = std::fopen(path.c_str(), "wb");
    return file_ != nullptr;
}

bool RecordWriter::Frame(const unsigned char* payload, std::size_t length) {
    if (!file_ || !ok_) return ok_ = false;
    // The length word is 32 bits; a larger payload cannot be framed.
    if (length > std::numeric_limits<uint32_t>::max()) return ok_ = false;
    unsigned char word[4];
    PutBigEndian32(word, static_cast<uint32_t>(length));
    if (std::fwrite(word, 1, 4, file_) != 4) return ok_ = false;
    if (length != 0 && std::fwrite(payload, 1, length, file_) != length) return ok_ = false;
    if (std::fwrite(word, 1, 4, file_) != 4) return ok_ = false;
    return true;
}

bool RecordWriter::WriteInts(const int32_t* values, std::size_t count) {
    if (count > std::numeric_limits<uint32_t>::max() / 4) return ok_ = false;
    std::vector<unsigned char> payload(4 * count);
    for (std::size_t n = 0; n < count; ++n) {
        PutBigEndian32(&payload[4 * n], static_cast<uint32_t>(values[n]));
    }
    return Frame(payload.data(), payload.size());
}

bool RecordWriter::WriteDoubles(const double* values, std::size_t count) {
    if (count > std::numeric_limits<uint32_t>::max() / 8) return ok_ = false;
    std::vector<unsigned char> payload(8 * count);
    for (std::size_t n = 0; n < count; ++n) {
        uint64_t bits = 0;
        std::memcpy(&bits, &values[n], sizeof bits);
        PutBigEndian64(&payload[8 * n], bits);
    }
    return Frame(payload.data(), payload.size());
}

bool RecordWriter::WriteBytes(const void* bytes, std::size_t count) {
    return Frame(static_cast<const unsigned char*>(bytes), count);
}

bool RecordWriter::WriteIntAndDouble(int32_t value, double real) {
    unsigned char payload[12];
    PutBigEndian32(payload, static_cast<uint32_t>(value));
    uint64_t bits = 0;
    std::memcpy(&bits, &real, sizeof bits);
    PutBigEndian64(payload + 4, bits);
    return Frame(payload, sizeof payload);
}

bool RecordWriter::Close() {
    if (!file_) return ok_;
    if (std::fclose(file_) != 0) ok_ = false;
    file_ = nullptr;
    return ok_;
}

}  // namespace pkg
