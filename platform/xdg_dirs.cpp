#include "platform/xdg_dirs.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace platform {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The value of XDG_DOCUMENTS_DIR in a user-dirs.dirs file: "$HOME/yyy" or "/yyy",
// optionally in double quotes. Empty when the file does not name it.
std::string DocumentsEntry(const fs::path& file, const std::string& home) {
    static const std::string kKey = "XDG_DOCUMENTS_DIR=";
    std::ifstream in(file);
    std::string line;
    std::string found;
    while (std::getline(in, line)) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, kKey.size(), kKey) != 0) continue;
        std::string value = line.substr(start + kKey.size());
        while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (value.compare(0, 5, "$HOME") == 0) {
            value = home + value.substr(5);
        }
        found = value;
    }
    return found;
}

}  // namespace

fs::path UserHomeDirectory() {
    const std::string home = Environment("HOME");
    if (!home.empty()) return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) {
        return entry->pw_dir;
    }
    return {};
}

fs::path ConfigHome() {
    const std::string configHome = Environment("XDG_CONFIG_HOME");
    if (!configHome.empty()) return configHome;
    const fs::path home = UserHomeDirectory();
    return home.empty() ? fs::path() : home / ".config";
}

std::vector<fs::path> ConfigDirs() {
    const std::string list = Environment("XDG_CONFIG_DIRS");
    std::vector<fs::path> dirs;
    size_t from = 0;
    while (from <= list.size()) {
        size_t to = list.find(':', from);
        if (to == std::string::npos) to = list.size();
        if (to > from) dirs.emplace_back(list.substr(from, to - from));
        from = to + 1;
    }
    if (dirs.empty()) dirs.emplace_back("/etc/xdg");
    return dirs;
}

fs::path DocumentsDirectory() {
    const fs::path home = UserHomeDirectory();
    const fs::path configHome = ConfigHome();
    if (!configHome.empty()) {
        const std::string documents = DocumentsEntry(configHome / "user-dirs.dirs", home.native());
        std::error_code error;
        if (!documents.empty() && fs::is_directory(documents, error)) return documents;
    }
    return home;
}

}  // namespace platform
