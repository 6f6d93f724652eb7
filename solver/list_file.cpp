#include "solver/list_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/temp_names.h"

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

// The temporary beside `path`, named as every temporary of the program is: a name too long
// to take the owner mark is cut and hashed, so the temporary fits the file system's limit
// wherever the list file itself does.
std::string TemporaryName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    return folder + platform::UniqueTempName(platform::BesideFilePrefix(path));
}

}  // namespace

void ListFile::SetStreamOpenerForTest(StreamOpener opener) { g_stream_opener = opener; }

ListFile::~ListFile() { Discard(); }

bool ListFile::Open(const std::string& path) {
    Discard();
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary_ = TemporaryName(path);
        fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        temporary_.clear();
        return false;
    }
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
