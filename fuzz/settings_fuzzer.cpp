// libFuzzer target: arbitrary bytes as the settings file, read, saved and read again.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    zentrik_fuzz::RunSettingsFile(data, size);
    return 0;
}
