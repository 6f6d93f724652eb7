#include "fuzz/fuzz_inputs.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "models/bga/bga_detailed_model.h"
#include "models/bga/bga_simplified_model.h"
#include "models/qfp/qfp.h"
#include "solver/resist_model.h"

namespace zentrik_fuzz {

namespace {

// One input file per process, rewritten for every input and removed at exit.
class InputFile {
public:
    InputFile() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zentrik_fuzz_XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) std::abort();
        ::close(fd);
        path_ = pattern;
    }
    ~InputFile() { std::remove(path_.c_str()); }

    const std::string& Write(const uint8_t* data, std::size_t size) {
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        if (!f) std::abort();
        if (size != 0 && std::fwrite(data, 1, size, f) != size) std::abort();
        if (std::fclose(f) != 0) std::abort();
        return path_;
    }

private:
    std::string path_;
};

std::string Text(const uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

template <typename Model>
void BuildBga(const std::string& text, bool fcbga) {
    Model model(fcbga);
    std::istringstream in(text);
    if (!model.ReadPartFile(in)) return;
    model.Build();
    model.BuildWithAir();
}

void ReadQfp(const std::string& text, bool sop) {
    pkg::qfp::QFP qfp(sop);
    std::istringstream in(text);
    qfp.ReadPartFile(in);
}

}  // namespace

void RunSolverInput(const uint8_t* data, std::size_t size) {
    static InputFile file;
    const std::string& path = file.Write(data, size);
    resist_model::nlst = 0;  // no list file
    int count = 0;
    char* names = nullptr;
    double* values = nullptr;
    resist_model::computeResistModel(path.c_str(), &count, &names, &values);
    resist_model::freeResults(&names, &values);
}

void RunPartFile(const uint8_t* data, std::size_t size) {
    const std::string text = Text(data, size);
    {
        pkg::bga::BGA bga(false);
        std::istringstream in(text);
        bga.ReadPartFile(in);
    }
    BuildBga<pkg::bga::BGADetailedModel>(text, false);
    BuildBga<pkg::bga::BGADetailedModel>(text, true);
    BuildBga<pkg::bga::BGASimplifiedModel>(text, false);
    BuildBga<pkg::bga::BGASimplifiedModel>(text, true);
    ReadQfp(text, false);
    ReadQfp(text, true);
}

}  // namespace zentrik_fuzz
