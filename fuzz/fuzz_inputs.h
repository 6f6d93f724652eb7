#pragma once

#include <cstddef>
#include <cstdint>

namespace zentrik_fuzz {

// Hands the bytes to the solver library as an input file and releases whatever it returns.
void RunSolverInput(const uint8_t* data, std::size_t size);

// Reads the bytes as a part file with every family's reader and builds every model of
// what reads.
void RunPartFile(const uint8_t* data, std::size_t size);

}  // namespace zentrik_fuzz
