#pragma once

#include <cstddef>

// The program's icons as PNG bytes: the application icon (128) and the pane icons in
// pairs of normal and high-colour images (161/162 file tree, 165/166 output, 167/168
// properties), and the parts tree's folder and part-file images.
namespace resources {

extern const unsigned char kIcon128[];
extern const std::size_t kIcon128Size;
extern const unsigned char kIcon161[];
extern const std::size_t kIcon161Size;
extern const unsigned char kIcon162[];
extern const std::size_t kIcon162Size;
extern const unsigned char kIcon165[];
extern const std::size_t kIcon165Size;
extern const unsigned char kIcon166[];
extern const std::size_t kIcon166Size;
extern const unsigned char kIcon167[];
extern const std::size_t kIcon167Size;
extern const unsigned char kIcon168[];
extern const std::size_t kIcon168Size;
extern const unsigned char kTreeFolderPng[];
extern const std::size_t kTreeFolderPngSize;
extern const unsigned char kTreePartPng[];
extern const std::size_t kTreePartPngSize;

}  // namespace resources
