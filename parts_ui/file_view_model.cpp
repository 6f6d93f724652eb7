#include "parts_ui/file_view_model.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <system_error>

#include "models/package_types.h"
#include "platform/wide_string.h"

namespace fs = std::filesystem;

const std::array<const wchar_t*, 10>& kPackageTypeFolders = pkg::kWidePackageTypeNames;

namespace {

constexpr int kFolderImage = 0;
constexpr int kPartImage = 1;

std::function<bool(const fs::path&)>& UnreadableForTest() {
    static std::function<bool(const fs::path&)> unreadable;
    return unreadable;
}

bool HasPartExtension(const fs::path& path) {
    return IsPartFileName(platform::PathToWide(path.extension()));
}

std::shared_ptr<widget::WTreeItem> MakeItem(const std::wstring& text, const fs::path& path,
                                            int image, bool renamable) {
    auto item = widget::MakeTreeItem();
    item->text = text;
    item->value = widget::Variant::FromBstr(platform::PathToWide(path));
    item->image = image;
    if (renamable) item->flags |= widget::kItemMovable;
    return item;
}

// Lists one folder; false (and a report line) when it cannot be read.
bool ListFolder(const fs::path& folder, std::vector<fs::directory_entry>& entries,
                const ScanReporter& report) {
    std::error_code ec;
    if (UnreadableForTest() && UnreadableForTest()(folder)) {
        ec = std::make_error_code(std::errc::permission_denied);
    }
    fs::directory_iterator it;
    if (!ec) it = fs::directory_iterator(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) entries.push_back(*it);
    if (ec) {
        if (report) {
            report(L"failed to read folder: " + platform::PathToWide(folder) + L" (" +
                   platform::Utf8ToWide(ec.message()) + L")");
        }
        return false;
    }
    return true;
}

void Collect(const fs::path& folder, int depth, std::vector<fs::path>& out,
             const ScanReporter& report) {
    std::vector<fs::directory_entry> entries;
    if (!ListFolder(folder, entries, report)) return;
    for (const fs::directory_entry& entry : entries) {
        std::error_code ec;
        const bool link = entry.is_symlink(ec);
        if (entry.is_directory(ec)) {
            // A linked folder may lead back up the tree or to a folder read elsewhere.
            if (link) continue;
            out.push_back(entry.path());
            if (depth < kMaxScanDepth) {
                Collect(entry.path(), depth + 1, out, report);
            } else if (report) {
                report(L"folder nested too deep, not read: " + platform::PathToWide(entry.path()));
            }
        } else if (HasPartExtension(entry.path())) {
            out.push_back(entry.path());
        }
    }
}

std::shared_ptr<widget::WTreeItem> FindBelow(const std::shared_ptr<widget::WTreeItem>& item,
                                             const std::wstring& path) {
    if (!item) return nullptr;
    if (StoredPath(*item) == path) return item;
    for (int r = 0; r < static_cast<int>(item->rows.size()); ++r) {
        if (auto found = FindBelow(item->Child(r, 0), path)) return found;
    }
    return nullptr;
}

}  // namespace

std::shared_ptr<widget::WTreeItem> FileViewModel::FindItemByPath(const std::wstring& path) const {
    if (!root) return nullptr;
    for (int r = 0; r < static_cast<int>(root->rows.size()); ++r) {
        if (auto found = FindBelow(root->Child(r, 0), path)) return found;
    }
    return nullptr;
}

bool TreeTextLess(const std::wstring& a, const std::wstring& b) {
    const auto lower = [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); };
    const bool less =
        std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                     [&](wchar_t x, wchar_t y) { return lower(x) < lower(y); });
    if (less) return true;
    const bool greater =
        std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                     [&](wchar_t x, wchar_t y) { return lower(x) < lower(y); });
    return !greater && a < b;
}

const std::wstring& StoredPath(const widget::WTreeItem& item) {
    static const std::wstring none;
    return item.value.Type() == widget::VT_BSTR ? item.value.Bstr() : none;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    return platform::PathToWide(platform::PathFromWide(folder) / platform::PathFromWide(name));
}

bool IsPartFileName(const std::wstring& path) {
    static const std::wstring kExtension = L".qvx";
    const std::wstring tail = path.size() > 4 ? path.substr(path.size() - 4) : path;
    return tail.size() == kExtension.size() &&
           std::equal(tail.begin(), tail.end(), kExtension.begin(), [](wchar_t a, wchar_t b) {
               return static_cast<wchar_t>(std::towlower(a)) == b;
           });
}

std::vector<fs::path> CollectPartsFolderEntries(const fs::path& folder,
                                                const ScanReporter& report) {
    std::vector<fs::path> out;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return out;
    Collect(folder, 1, out, report);
    return out;
}

std::shared_ptr<widget::WTreeItem> ScanPartsFolder(const std::wstring& parts_folder,
                                                   const std::wstring& type_name,
                                                   const ScanReporter& report) {
    const fs::path type_folder =
        platform::PathFromWide(parts_folder) / platform::PathFromWide(type_name);
    std::vector<fs::path> entries = CollectPartsFolderEntries(type_folder, report);
    // Siblings in the tree's order (by name, part files without their extension); a
    // folder always sorts before what it holds, since its parent is a prefix of theirs.
    std::error_code ec;
    const auto key = [&ec](const fs::path& p) {
        return platform::PathToWide(fs::is_directory(p, ec) ? p.filename() : p.stem());
    };
    std::sort(entries.begin(), entries.end(), [&](const fs::path& a, const fs::path& b) {
        if (a.parent_path() != b.parent_path()) return a.parent_path() < b.parent_path();
        return TreeTextLess(key(a), key(b));
    });

    auto type_item = MakeItem(type_name, type_folder, kFolderImage, false);
    std::map<fs::path, std::shared_ptr<widget::WTreeItem>> folders = {{type_folder, type_item}};
    for (const fs::path& entry : entries) {
        if (!fs::is_directory(entry, ec)) continue;
        const auto parent = folders.find(entry.parent_path());
        if (parent == folders.end()) continue;
        auto item = MakeItem(platform::PathToWide(entry.filename()), entry, kFolderImage, true);
        parent->second->AppendRow(item);
        folders.emplace(entry, item);
    }
    for (const fs::path& entry : entries) {
        if (!fs::is_regular_file(entry, ec)) continue;
        const auto parent = folders.find(entry.parent_path());
        if (parent == folders.end()) continue;
        parent->second->AppendRow(
            MakeItem(platform::PathToWide(entry.stem()), entry, kPartImage, true));
    }
    return type_item;
}

std::shared_ptr<FileViewModel> BuildFileViewModel(const std::wstring& parts_folder,
                                                  const ScanReporter& report) {
    auto model = std::make_shared<FileViewModel>();
    for (const wchar_t* type : kPackageTypeFolders) {
        model->AppendRow(ScanPartsFolder(parts_folder, type, report));
    }
    return model;
}

void SetUnreadableFolderForTest(std::function<bool(const fs::path&)> unreadable) {
    UnreadableForTest() = std::move(unreadable);
}
