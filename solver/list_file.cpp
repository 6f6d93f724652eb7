#include "solver/list_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <vector>

namespace resist_model {

namespace {

std::atomic<ListFile::StreamOpener> g_stream_opener{nullptr};

// A list file that replaces an older one keeps its permissions; a new one gets the usual
// rw-r--r-- rather than the owner-only mode of a temporary.
mode_t TargetMode(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
    return 0644;
}

}  // namespace

void ListFile::SetStreamOpenerForTest(StreamOpener opener) { g_stream_opener = opener; }

ListFile::~ListFile() { Discard(); }

bool ListFile::Open(const std::string& path) {
    Discard();
    std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    temporary_ = name.data();
    target_ = path;
    failed_ = ::fchmod(fd, TargetMode(path)) != 0;
    StreamOpener opener = g_stream_opener.load();
    file_ = opener ? opener(fd) : ::fdopen(fd, "w");
    if (!file_) {
        if (!opener) ::close(fd);
        Discard();
        return false;
    }
    return true;
}

void ListFile::Line(const std::string& text) {
    if (!file_) return;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() ||
        std::fputc('\n', file_) == EOF) {
        failed_ = true;
    }
}

void ListFile::Write(const std::string& text) {
    if (file_ && std::fwrite(text.data(), 1, text.size(), file_) != text.size()) failed_ = true;
}

bool ListFile::Commit() {
    if (!file_) return false;
    bool ok = !failed_ && std::fflush(file_) == 0 && std::ferror(file_) == 0 &&
              ::fsync(::fileno(file_)) == 0;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (ok && std::rename(temporary_.c_str(), target_.c_str()) == 0) {
        temporary_.clear();
        return true;
    }
    Discard();
    return false;
}

void ListFile::Discard() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
    failed_ = false;
}

}  // namespace resist_model
