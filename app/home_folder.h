#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

// Where the running program lies, its product key and the per-user home folder that holds
// the settings file.

// The running program's file name without folder and extension.
std::wstring GetProgramFileTitle();
// The running program's folder with a trailing '/'; empty when it cannot be found.
std::wstring GetProgramFolder();
// "Ostrel\Zentrik2020\" followed by the program file title, below "Software".
std::wstring GetProductKey();

// The value's text; nothing when it is missing or longer than 999 UTF-16 units.
std::optional<std::wstring> ReadRegistryString(platform::RegistryRoot root,
                                               const std::wstring& subKey,
                                               const std::wstring& valueName);
// "EnvHomeDirectory" of the current user's product key.
std::optional<std::wstring> ReadHomeDirectoryFromRegistry();
// The application-data folder ($XDG_CONFIG_HOME) with '/', then "Ostrel/Zentrik2020/", the
// program file title and '/'.
std::wstring GetDefaultHomeDirectory();
// The recorded home folder, or the default, recorded when none (or an empty one) is
// found; with a trailing '/' added in memory only. A recorded folder that is not absolute,
// or holds a variable nobody expands ("$HOME/x"), is refused: the default serves and the
// record is left for the user to mend. The folder and its parents are created when
// missing; file-system failures are ignored. `notes`, when given, receives the lines for
// the output pane: a refused record, a default that could not be recorded.
std::wstring InitHomeDirectory(std::vector<std::wstring>* notes = nullptr);

// Whether a recorded home folder can be used as it stands: an absolute path without an
// environment variable in it.
bool IsUsableHomeFolder(const std::wstring& folder);

// The line for the output pane when the product key's file is refused (too large or
// unreadable), so its values were not used and it is left as it is; empty otherwise.
std::wstring RefusedProductKeyLine();
