#include "solver/resist_model.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "solver/model_state.h"
#include "solver/rst_main.h"

namespace resist_model {

int nlst = 0;
char lstfile[256] = {};
double results[3] = {};

namespace {

constexpr std::size_t kNameBuffer = 256;

// Blanks from the length up to the end of the 256-byte buffer.
void PadName(int length, char* buffer) {
    if (length > 0 && length < static_cast<int>(kNameBuffer)) {
        std::memset(buffer + length, ' ', kNameBuffer - length);
    }
}

std::string TrimBlanks(const char* text, std::size_t length) {
    while (length > 0 && text[length - 1] == ' ') --length;
    return std::string(text, length);
}

int Compute(const char* path, int* count, char** names, double** values) {
    if (!path) return kStatusEmptyInputName;
    std::size_t path_length = strnlen(path, kNameBuffer);
    if (path_length >= kNameBuffer) return kStatusBadInput;
    if (path_length == 0) return kStatusEmptyInputName;

    // The list name must lie inside the array and before any NUL in it.
    int list_length = nlst;
    if (list_length > 0) {
        if (list_length >= static_cast<int>(kNameBuffer) ||
            static_cast<std::size_t>(list_length) > strnlen(lstfile, kNameBuffer)) {
            return kStatusBadInput;
        }
        PadName(list_length, lstfile);
    }
    if (!count || !names || !values) return kStatusBadInput;

    std::string list_path = list_length > 0 ? TrimBlanks(lstfile, list_length) : std::string();
    // A list file replaces only a regular file: anything else at its path (a FIFO, a
    // folder, a device) is refused before any work.
    struct stat existing {};
    if (!list_path.empty() && ::stat(list_path.c_str(), &existing) == 0 &&
        !S_ISREG(existing.st_mode)) {
        return kStatusBadInput;
    }
    RunOutput run = rst_main(TrimBlanks(path, path_length), list_path);
    if (run.status != kStatusOk) return run.status;
    const bool fitted = run.model_type == kDelphi;

    const std::size_t n = run.results.size();
    char* name_block = static_cast<char*>(std::calloc(n == 0 ? 1 : n, kNameLength));
    double* value_block = static_cast<double*>(std::calloc(n == 0 ? 1 : n, sizeof(double)));
    if (!name_block || !value_block) {
        std::free(name_block);
        std::free(value_block);
        return kStatusNoSolution;
    }
    for (std::size_t k = 0; k < n; ++k) {
        std::memcpy(name_block + k * kNameLength, run.results[k].name.data(), kNameLength);
        value_block[k] = run.results[k].value;
    }
    *count = static_cast<int>(n);
    *names = name_block;
    *values = value_block;
    if (fitted) {
        results[0] = run.network.error.worst;
        results[1] = run.network.error.rms;
        results[2] = run.network.error.worst_case;
    }
    return kStatusOk;
}

}  // namespace

int computeResistModel(const char* path, int* count, char** names, double** values) noexcept {
    results[0] = results[1] = results[2] = 0.0;
    int status = kStatusNoSolution;
    try {
        status = Compute(path, count, names, values);
    } catch (...) {
        // Nothing leaves the library as an exception; the result blocks are handed over
        // only as the last step of Compute, so none is half filled.
        status = kStatusNoSolution;
    }
    if (status != kStatusOk) {
        if (count) *count = 0;
        if (names) *names = nullptr;
        if (values) *values = nullptr;
        std::printf("*** Resistances cannot be solved (%d). ***\n", status);
        std::fflush(stdout);
    }
    return status;
}

void freeResults(char** names, double** values) noexcept {
    if (values) {
        std::free(*values);
        *values = nullptr;
    }
    if (names) {
        std::free(*names);
        *names = nullptr;
    }
}

}  // namespace resist_model
