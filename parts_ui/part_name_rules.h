#pragma once

#include <array>
#include <cstdint>
#include <string>

// The rules a part name must meet: it becomes a file name (name + ".qvx") in the parts
// folder and an output cabinet's name. Each caller picks the checks it applies.

// Characters a part name may not hold, in the order the messages list them.
constexpr std::array<wchar_t, 21> ForbiddenNameCharacters = {
    L' ', L'\t', L'\'', L'"', L'\\', L'/', L'|', L'<', L'>', L'*', L':',
    L';', L'?',  L'.',  L',', L'=',  L'&', L'$', L'#', L'@', L'!'};

// Longest part name, in UTF-16 code units, without the extension.
constexpr std::size_t kMaxPartNameLength = 64;

// Empty, too long, leading "_", reserved device name: the first rule broken loads its
// message (in the thread's UI language) into `message` and gives false. A valid name
// gives true and leaves `message` alone. Single characters are not looked at.
bool CheckPartName(const std::wstring& name, std::wstring& message);

// What a name that becomes a file name as it stands must meet, as Rename checks it:
// CheckPartName's rules, then no character IsInvalidPathCharacter refuses (message 177).
// The first rule broken loads its message into `message` and gives false.
bool CheckPartFileName(const std::wstring& name, std::wstring& message);

// The string-table message `id` (116 or 177) with the forbidden characters, joined by
// single spaces, in place of its "%1".
std::wstring FormatForbiddenCharsMessage(std::uint32_t id);

// True for characters no file or folder name may hold here: control characters, the
// separators '/' and '\', the wildcards '*' and '?', and '"', '<', '>', ':', '|'.
bool IsInvalidPathCharacter(wchar_t c);
