// Writes the default part files, and a few layout and composition variants, into the folder
// given as the only argument: the seeds of the part-file fuzzer.
#include <cstdio>
#include <fstream>
#include <string>

#include "models/bga/bga.h"
#include "models/package_types.h"
#include "models/qfp/qfp.h"
#include "tests/models/default_parts.h"

namespace {

bool Save(const std::string& path, const pkg::SemiconductorPackage& part) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!part.WritePartFile(out)) return false;
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    for (int fcbga = 0; fcbga < 2; ++fcbga) {
        for (int layout = 0; layout < 3; ++layout) {
            pkg::bga::BGA bga(fcbga != 0);
            bga.solder_ball.layout = layout;
            bga.composition.via = layout != 0;
            bga.composition.bonded_part = layout == 2;
            ok = Save(folder + "/" + bga.TypeName() + "_" + std::to_string(layout) + ".xml", bga) &&
                 ok;
        }
    }
    ok = Save(folder + "/qfp.xml", pkg::qfp::QFP(false)) && ok;
    ok = Save(folder + "/sop.xml", pkg::qfp::QFP(true)) && ok;
    for (const char* type : default_parts::kTypeFolders) {
        const std::string name = type;
        if (pkg::IsPackageFamily(name, pkg::PackageFamily::kPowerDevice)) {
            ok = default_parts::WriteDefaultPart(type, folder + "/" + name + ".xml") && ok;
        }
    }
    if (!ok) std::fprintf(stderr, "cannot write the seeds into %s\n", folder.c_str());
    return ok ? 0 : 1;
}
