#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// A 64-bit FNV-1a hash of `bytes`, continued from `hash` so a file can be hashed in pieces.
constexpr std::uint64_t kHashStart = 14695981039346656037ull;
constexpr std::uint64_t HashBytes(std::string_view bytes, std::uint64_t hash = kHashStart) {
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

}  // namespace platform
