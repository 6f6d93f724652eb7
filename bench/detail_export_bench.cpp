// Detail export benchmark: for each package type, the default part written to a parts
// folder, then loaded, built, written as model XML and packed into a cabinet, as the
// export worker does for one row. Prints the best of five runs per type.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "export/export_runs.h"
#include "models/part_loaders.h"
#include "platform/temp_files.h"
#include "platform/wide_string.h"
#include "tests/models/default_parts.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

}  // namespace

int main() {
    const fs::path root = platform::MakeUniqueDirectory(platform::TempDirectory(), "detail_bench");
    if (root.empty()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    pkg::ExportRunSettings settings;
    settings.parts_folder = platform::PathToWide(root / "parts") + L"/";
    int status = 0;
    std::printf("%-8s %10s\n", "type", "seconds");
    for (const char* type : default_parts::kTypeFolders) {
        const fs::path folder = root / "parts" / type;
        fs::create_directories(folder);
        if (!default_parts::WriteDefaultPart(type, folder / "part.qvx")) {
            std::printf("%-8s not written\n", type);
            status = 1;
            continue;
        }
        const std::wstring part = platform::PathToWide(folder / "part.qvx");
        const std::wstring cabinet = platform::PathToWide(root / (std::string(type) + ".cab"));
        double best = 1e300;
        for (int run = 0; run < 5; ++run) {
            const Clock::time_point start = Clock::now();
            if (!pkg::ExportDetailedModelByType(settings, part, cabinet)) {
                std::printf("%-8s failed\n", type);
                status = 1;
                break;
            }
            best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
        }
        if (best < 1e300) std::printf("%-8s %10.4f\n", type, best);
    }
    fs::remove_all(root);
    return status;
}
