#pragma once

#include <cstddef>
#include <cstdint>

namespace zentrik_fuzz {

// Hands the bytes to the solver library as an input file and releases whatever it returns.
void RunSolverInput(const uint8_t* data, std::size_t size);

// Reads the bytes as a part file with every family's reader and builds every model of
// what reads.
void RunPartFile(const uint8_t* data, std::size_t size);

// Reads the bytes as the settings file, saves what was read and reads that again: both
// reads must give the same settings, and a file that could not be used the defaults.
// Aborts when they differ.
void RunSettingsFile(const uint8_t* data, std::size_t size);

}  // namespace zentrik_fuzz
