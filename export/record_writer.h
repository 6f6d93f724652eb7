#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace pkg {

// Writes framed records to a binary file: a 4-byte big-endian payload length, the payload,
// and the length again. Integers and reals are written big-endian whatever the host order,
// each value byte-swapped on its own. Every operation reports a short or failed write, and
// a write after a failure is refused, so a caller can check once at the end.
class RecordWriter {
public:
    RecordWriter() = default;
    ~RecordWriter();
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // Creates or truncates the file (UTF-8 path); false when it cannot be opened.
    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }

    bool WriteInts(const int32_t* values, std::size_t count);
    bool WriteDoubles(const double* values, std::size_t count);
    bool WriteBytes(const void* bytes, std::size_t count);
    // One 12-byte record: the integer directly followed by the real.
    bool WriteIntAndDouble(int32_t value, double real);

    // Closes the file if it is open; false when any write or the close itself failed
    // (buffered data is only known to be on disk once the close succeeded).
    bool Close();

    bool ok() const { return ok_; }

private:
    bool Frame(const unsigned char* payload, std::size_t length);

    std::FILE* file_ = nullptr;
    bool ok_ = true;
};

}  // namespace pkg
