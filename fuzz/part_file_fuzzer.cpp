// libFuzzer target: arbitrary bytes as a part file, read and built into every model.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    zentrik_fuzz::RunPartFile(data, size);
    return 0;
}
