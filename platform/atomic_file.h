#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/file_identity.h"

namespace platform {

// Writes `bytes` to a new file beside `target` and renames it over `target` once it is
// complete, then flushes the folder so the rename itself survives a power loss.
// Over an existing file: a symbolic link is followed and the real file replaced (the link
// stays), the file keeps its permissions, and a file without write permission for the
// user is refused. On false the old file is untouched, no temporary file is left behind,
// and `error`, when given, says why. On true `written`, when given, is the identity of the
// file as this call wrote it, taken before the rename: what another writer puts there
// afterwards is never taken for ours.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         std::string* error = nullptr, FileIdentity* written = nullptr);

// The same for a file that must not exist yet: false, with nothing changed, when something
// is at `target` by the time the complete file would be renamed there.
bool WriteNewFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                            std::string* error = nullptr, FileIdentity* written = nullptr);

}  // namespace platform
