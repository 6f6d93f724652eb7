#include "solver/list_file.h"

namespace resist_model {

ListFile::~ListFile() { Close(); }

bool ListFile::Open(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "w");
    return file_ != nullptr;
}

void ListFile::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

void ListFile::Line(const std::string& text) {
    if (!file_) return;
    std::fwrite(text.data(), 1, text.size(), file_);
    std::fputc('\n', file_);
}

void ListFile::Write(const std::string& text) {
    if (file_) std::fwrite(text.data(), 1, text.size(), file_);
}

}  // namespace resist_model
