#include "models/part_loaders.h"

#include <cerrno>
#include <exception>
#include <fstream>
#include <system_error>

#include "models/part_file.h"
#include "platform/wide_string.h"

namespace pkg {

namespace {

// A file title holds at most this many characters.
constexpr std::size_t kMaxFileTitle = 255;

template <class Model, class... Args>
std::shared_ptr<Model> LoadPart(const std::wstring& path, Args... args) {
    try {
        const std::filesystem::path file = platform::PathFromWide(path);
        std::ifstream in(file);
        if (!in.good()) return nullptr;
        auto model = std::make_shared<Model>(args...);
        if (!model->ReadPartFile(in)) return nullptr;
        std::wstring title = platform::PathToWide(file.stem());
        if (title.size() > kMaxFileTitle) title.resize(kMaxFileTitle);
        model->SetName(title);
        return model;
    } catch (const std::exception&) {
        // The readers report a bad file as false; anything else (no memory, a path the
        // file system refuses) is a file that could not be read all the same.
        return nullptr;
    }
}

}  // namespace

std::shared_ptr<bga::BGADetailedModel> LoadBGADetailedModel(const std::wstring& path) {
    return LoadPart<bga::BGADetailedModel>(path, false);
}

std::shared_ptr<qfp::QFPDetailedModel> LoadQFPDetailedModel(const std::wstring& path) {
    return LoadPart<qfp::QFPDetailedModel>(path, false);
}

std::shared_ptr<pdevice::TO220DetailedModel> LoadTO220DetailedModel(const std::wstring& path) {
    return LoadPart<pdevice::TO220DetailedModel>(path);
}

std::shared_ptr<pdevice::TO247DetailedModel> LoadTO247DetailedModel(const std::wstring& path) {
    return LoadPart<pdevice::TO247DetailedModel>(path);
}

std::shared_ptr<pdevice::TO263DetailedModel> LoadTO263DetailedModel(const std::wstring& path) {
    return LoadPart<pdevice::TO263DetailedModel>(path);
}

std::shared_ptr<pdevice::TO252DetailedModel> LoadTO252DetailedModel(const std::wstring& path) {
    return LoadPart<pdevice::TO252DetailedModel>(path);
}

std::shared_ptr<pdevice::SOT89DetailedModel> LoadSOT89DetailedModel(const std::wstring& path) {
    return LoadPart<pdevice::SOT89DetailedModel>(path);
}

std::shared_ptr<pdevice::SOT223DetailedModel> LoadSOT223DetailedModel(const std::wstring& path) {
    return LoadPart<pdevice::SOT223DetailedModel>(path);
}

std::shared_ptr<bga::BGASimplifiedModel> LoadBGASimplifiedModel(const std::wstring& path) {
    return LoadPart<bga::BGASimplifiedModel>(path, false);
}

std::optional<std::string> ReadPartFileType(const std::wstring& path) {
    try {
        std::ifstream in(platform::PathFromWide(path));
        if (!in.good()) return std::nullopt;
        std::string type;
        const bool read = ReadPartDocument(in, [&type](const PartReader&, const std::string& text) {
            type = text;
            return true;
        });
        if (!read) return std::nullopt;
        return type;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

PartFileRefusal ExplainPartFileRefusal(const std::wstring& path) {
    using Kind = PartFileRefusal::Kind;
    try {
        const std::filesystem::path file = platform::PathFromWide(path);
        std::ifstream in(file);
        if (!in.good()) return {Kind::kNotRead, std::generic_category().message(errno)};
        std::string type;
        if (!ReadPartDocument(in, [&type](const PartReader&, const std::string& text) {
                type = text;
                return true;
            })) {
            return LastPartFileRefusal();
        }
        const PackageType* known = PackageTypeReadAs(type);
        if (known == nullptr) return {Kind::kUnknownType, type};
        const std::shared_ptr<SemiconductorPackage> package = known->make_sample();
        std::ifstream again(file);
        if (!again.good()) return {Kind::kNotRead, std::generic_category().message(errno)};
        if (!package || package->ReadPartFile(again)) return {};
        return LastPartFileRefusal();
    } catch (const std::exception& error) {
        return {Kind::kNotRead, error.what()};
    }
}

std::shared_ptr<SemiconductorPackage> MakeDefaultPackage(int index) {
    if (index < 0 || index >= kPackageTypeCount) return nullptr;
    return kPackageTypes[index].make_sample();
}

std::shared_ptr<qfp::QFPSimplifiedModel> LoadQFPSimplifiedModel(const std::wstring& path) {
    return LoadPart<qfp::QFPSimplifiedModel>(path, false);
}

}  // namespace pkg
