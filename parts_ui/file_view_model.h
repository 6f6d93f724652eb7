#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "widget/tree_item.h"

// The ten package-type folders below the parts folder, in the order the tree shows them.
extern const std::array<const wchar_t*, 10>& kPackageTypeFolders;

// The item model of the parts folder: ten type-folder rows, below them subfolders and part
// files. Each item's value is its full path as text; folders come before part files.
class FileViewModel : public widget::WTreeItemModel {
  public:
    virtual ~FileViewModel() = default;

    // The first item, top-level rows in order and each depth first, whose stored path is
    // exactly `path` (file names may differ only in case here); empty when none is.
    std::shared_ptr<widget::WTreeItem> FindItemByPath(const std::wstring& path) const;
};

// Receives one line for each folder the scan could not read or left unread for its depth;
// the scan goes on without it.
using ScanReporter = std::function<void(const std::wstring& line)>;

// The tree's order of names: without regard to case, and names that differ only in case by
// their code points, so that the order is total.
bool TreeTextLess(const std::wstring& a, const std::wstring& b);

// True when the path ends in ".qvx", in any letter case.
bool IsPartFileName(const std::wstring& path);

// The full path an item of the tree stores as its value; empty when it stores no text.
const std::wstring& StoredPath(const widget::WTreeItem& item);

// `name` appended to `folder` as one more path element.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// A new model of the parts folder (which ends with '/'), scanned from the disk.
std::shared_ptr<FileViewModel> BuildFileViewModel(const std::wstring& parts_folder,
                                                  const ScanReporter& report = {});

// The type-folder item of `type_name` with its whole subtree.
std::shared_ptr<widget::WTreeItem> ScanPartsFolder(const std::wstring& parts_folder,
                                                   const std::wstring& type_name,
                                                   const ScanReporter& report = {});

// How many folder levels below a type folder the scan reads; deeper folders are listed but
// not read, with a line for the report.
constexpr int kMaxScanDepth = 32;

// Every subfolder and every ".qvx" file (any letter case) below `folder`, down to
// kMaxScanDepth levels; empty when `folder` is no folder. Symbolic links to folders are
// neither listed nor followed, so every real folder is read at most once and a link loop
// cannot grow the tree. Unreadable folders are reported and skipped.
std::vector<std::filesystem::path> CollectPartsFolderEntries(const std::filesystem::path& folder,
                                                             const ScanReporter& report = {});

// Lets tests make folders unreadable even when they run as root: a folder for which the
// predicate is true cannot be listed. An empty predicate restores the real file system.
void SetUnreadableFolderForTest(std::function<bool(const std::filesystem::path&)> unreadable);
