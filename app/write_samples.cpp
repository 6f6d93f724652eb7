// Build tool: writes the sample parts that are installed beside the program,
// FOLDER/<TYPE>/<TYPE>_Sample_1.qvx, each the defaults of its package type.
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "models/package_types.h"
#include "platform/atomic_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    for (const pkg::PackageType& row : pkg::kPackageTypes) {
        const char* type = row.folder;
        const auto part = row.make_sample();
        std::error_code error;
        std::filesystem::create_directories(folder / type, error);
        const std::filesystem::path file = folder / type / (std::string(type) + "_Sample_1.qvx");
        std::ostringstream out;
        if (!part->WritePartFile(out) || !platform::WriteFileAtomically(file, out.str())) {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
            return 1;
        }
    }
    return 0;
}
