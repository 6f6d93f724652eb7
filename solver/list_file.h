#pragma once

#include <cstdio>
#include <string>

namespace resist_model {

// The run's text report. Every line goes through here; when no list file was asked for,
// or it could not be opened, lines are dropped.
class ListFile {
public:
    ListFile() = default;
    ~ListFile();
    ListFile(const ListFile&) = delete;
    ListFile& operator=(const ListFile&) = delete;

    // Creates or rewrites the file; false when it cannot be opened.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    void Line(const std::string& text);
    // Text that already holds its line ends (a stage's buffered block).
    void Write(const std::string& text);

private:
    std::FILE* file_ = nullptr;
};

}  // namespace resist_model
