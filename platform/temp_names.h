#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

namespace platform {

// The one naming scheme of every temporary the program and its solver library create, and
// how a later run tells its own from anything else. Standard C++ only, so that the solver
// library, which depends on nothing else of ours, builds it in as well.
//
// A temporary is named `prefix` followed by the owner mark: "zt", the creating process's id,
// '.', eight hexadecimal digits that stand for the machine (and process-id namespace) it ran
// on, '-' and eight random letters or digits. A process id means something only on the
// machine that gave it, and a parts or export folder may be shared by several.

// A fresh name: `prefix` and the owner mark of this process.
std::string UniqueTempName(const std::string& prefix);

// The mark of this machine in the names it gives.
std::string_view ThisHostMark();

// The prefix, process id and machine mark of a name made by UniqueTempName; false for any
// other name.
bool SplitTempName(std::string_view name, std::string_view& prefix, long& process_id,
                   std::string_view* host = nullptr);

// The hidden prefix of a temporary beside a file: '.', the file's name and '-'. For a name
// too long to leave room for the owner mark, the name is cut and '~' and a hash of the whole
// name follow it, so every temporary's name fits the 255-byte limit.
std::string BesideFilePrefix(const std::filesystem::path& target);
bool IsBesideFilePrefix(std::string_view prefix);
// Whether `prefix` is BesideFilePrefix of a file whose name ends with one of `endings`
// (compared without regard to ASCII case), or of a name so long that it was cut and hashed:
// such a prefix keeps no ending but has the exact length a cut name gives.
bool IsBesideFilePrefixOf(std::string_view prefix,
                          std::initializer_list<std::string_view> endings);

}  // namespace platform
