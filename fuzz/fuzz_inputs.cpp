#include "fuzz/fuzz_inputs.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/program_settings.h"
#include "models/bga/bga_detailed_model.h"
#include "models/bga/bga_simplified_model.h"
#include "models/pdevice/power_device_detailed_model.h"
#include "models/pdevice/sot223_detailed_model.h"
#include "models/qfp/qfp_detailed_model.h"
#include "models/qfp/qfp_simplified_model.h"
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

// One home folder per process for the settings file, removed at exit.
class HomeFolder {
public:
    HomeFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zentrik_fuzz_XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        path_ = pattern + "/";
    }
    ~HomeFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

bool SameSettings(const ProgramSettings& a, const ProgramSettings& b) {
    const auto same = [](const AxisFactors& x, const AxisFactors& y) {
        return x.x == y.x && x.y == y.y && x.z == y.z;
    };
    return a.PartsFolder == b.PartsFolder && a.ExportFolder == b.ExportFolder &&
           same(a.StandardLength, b.StandardLength) && same(a.Threshold, b.Threshold) &&
           a.BackgroundType == b.BackgroundType &&
           a.BackgroundTopColor == b.BackgroundTopColor &&
           a.BackgroundBottomColor == b.BackgroundBottomColor &&
           a.FluidConductivity == b.FluidConductivity && a.OutputListFile == b.OutputListFile &&
           a.SimpleModeling == b.SimpleModeling && a.MouseMode == b.MouseMode &&
           a.OneButtonOperation == b.OneButtonOperation;
}

std::string Text(const uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// Reads the text over a model's defaults and, when it reads, builds it both ways.
template <typename Model, typename... Args>
void ReadAndBuild(const std::string& text, Args... args) {
    Model model(args...);
    std::istringstream in(text);
    if (!model.ReadPartFile(in)) return;
    model.Build();
    model.BuildWithAir();
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

void RunSettingsFile(const uint8_t* data, std::size_t size) {
    static HomeFolder home;
    const std::wstring folder(home.Path().begin(), home.Path().end());
    std::error_code ec;
    std::filesystem::remove_all(home.Path(), ec);
    std::filesystem::create_directories(home.Path(), ec);
    {
        std::FILE* f = std::fopen((home.Path() + "zentrik.xml").c_str(), "wb");
        if (!f) std::abort();
        if (size != 0 && std::fwrite(data, 1, size, f) != size) std::abort();
        if (std::fclose(f) != 0) std::abort();
    }
    ProgramSettings first;
    first.HomeFolder = folder;
    if (first.Load() == SettingsFileState::Unusable) {
        if (!SameSettings(first, ProgramSettings())) std::abort();
        if (first.KeepUnusableFileAside().empty()) std::abort();
    }
    if (!first.Save()) std::abort();
    ProgramSettings second;
    second.HomeFolder = folder;
    if (second.Load() != SettingsFileState::Read) std::abort();
    if (!SameSettings(first, second)) std::abort();
}

void RunPartFile(const uint8_t* data, std::size_t size) {
    const std::string text = Text(data, size);
    for (bool other_type : {false, true}) {
        ReadAndBuild<pkg::bga::BGADetailedModel>(text, other_type);
        ReadAndBuild<pkg::bga::BGASimplifiedModel>(text, other_type);
        ReadAndBuild<pkg::qfp::QFPDetailedModel>(text, other_type);
        ReadAndBuild<pkg::qfp::QFPSimplifiedModel>(text, other_type);
    }
    ReadAndBuild<pkg::pdevice::TO220DetailedModel>(text);
    ReadAndBuild<pkg::pdevice::TO247DetailedModel>(text);
    ReadAndBuild<pkg::pdevice::TO263DetailedModel>(text);
    ReadAndBuild<pkg::pdevice::TO252DetailedModel>(text);
    ReadAndBuild<pkg::pdevice::SOT89DetailedModel>(text);
    ReadAndBuild<pkg::pdevice::SOT223DetailedModel>(text);
}

}  // namespace zentrik_fuzz
