// libFuzzer target: arbitrary bytes as the solver library's input file.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    zentrik_fuzz::RunSolverInput(data, size);
    return 0;
}
