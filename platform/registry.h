#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace platform {

enum class RegistryRoot { CurrentUser, LocalMachine };

// Keys below "Software" kept as small key/value files: the key K of the current user is
// the file registry.ini in the folder $XDG_CONFIG_HOME/K (K's '\' read as '/'); the
// machine's keys lie the same way below $XDG_CONFIG_DIRS and are only read. A value is an
// entry of the file's top group.
class Registry {
public:
    // The largest key file that is read, as for the settings file. A larger one, one that
    // cannot be read, or one holding more than values of its top group (a group header, a
    // NUL, more lines than kMaxKeyFileLines) is refused: it reads as holding no value and is
    // never written over.
    static constexpr std::size_t kMaxKeyFileBytes = 1024 * 1024;
    // The most lines a key file may have; the program's own keys hold a few values each.
    static constexpr std::size_t kMaxKeyFileLines = 1024;

    // The file of `key` below `base`; empty when the key is empty or has a "." or ".."
    // component, so no key reaches outside its base.
    static std::filesystem::path KeyFile(const std::filesystem::path& base, const std::wstring& key);

    // The current user's file of `key`; empty as KeyFile, or without a configuration folder.
    static std::filesystem::path UserKeyFile(const std::wstring& key);

    // The text of the value; nothing when the file, the value or the key is missing, or the
    // file is refused.
    static std::optional<std::wstring> ReadString(RegistryRoot root, const std::wstring& key,
                                                  const std::wstring& valueName);

    // Sets the value of a current-user key, creating the key's folder and file as needed;
    // the file is replaced only once fully written, and the key's other values are taken
    // from the file as it is at that moment (another program may have written some).
    // False on any failure, and without writing when the key's file is refused or the file
    // written would be (past the size bound, or a value holding a NUL): the older file is
    // kept then. `reason`, when given, says why in English.
    static bool WriteString(const std::wstring& key, const std::wstring& valueName,
                            const std::wstring& value, std::string* reason = nullptr);

    // Whether the current user's file of `key` is there but refused (too large, unreadable,
    // no regular file, more than plain values).
    static bool IsKeyRefused(const std::wstring& key);

    // Removes the temporaries that interrupted writes of a current-user key left beside its
    // file, and nothing else; returns how many went.
    static int RemoveStaleTemporaries(const std::wstring& key);
};

}  // namespace platform
