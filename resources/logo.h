#pragma once

#include <cstddef>

namespace resources {

// The PNG of the preview's logo (64 x 64, 8-bit RGBA), compiled into the program.
extern const unsigned char kLogoPng[];
extern const std::size_t kLogoPngSize;

}  // namespace resources
