#include "app/program_settings.h"

#include <climits>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include "platform/atomic_file.h"
#include "platform/bounded_xml.h"
#include "platform/file_moves.h"
#include "platform/wide_string.h"
#include "platform/xdg_dirs.h"

namespace fs = std::filesystem;
namespace pt = boost::property_tree;

namespace {

constexpr char kSettingsFileName[] = "zentrik.xml";
constexpr char kUnusableSuffix[] = ".bad";
// Far above what the settings ever hold; a larger file is not ours to read.
constexpr std::size_t kMaxSettingsBytes = 1 << 20;
constexpr char kMeshType[] = "magnificiant to min. part size";
constexpr const char* kBackgroundWords[] = {"black", "white", "gradation"};
constexpr const char* kMouseModeWords[] = {"3Button", "1Button"};
constexpr const char* kOneButtonWords[] = {"3DRotate", "2DRotate", "Translation", "Scaling"};

std::string FormatReal(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::general, 17);
    return std::string(buffer, result.ptr);
}

std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const size_t begin = text.find_first_not_of(kBlanks);
    if (begin == std::string_view::npos) return {};
    const size_t end = text.find_last_not_of(kBlanks);
    return text.substr(begin, end - begin + 1);
}

// The whole text (blanks around it allowed) as one finite number in the classic notation.
std::optional<double> ParseReal(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text[0] == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text[0] == '-') return std::nullopt;
    }
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

// A 32-bit unsigned number; a negative text is refused rather than wrapped around.
std::optional<std::uint32_t> ParseUnsigned(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    if (text.empty() || text[0] < '0' || text[0] > '9') return std::nullopt;
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end) return std::nullopt;
    return value;
}

std::optional<bool> ParseBool(std::string_view text) {
    text = Trimmed(text);
    if (text == "true" || text == "1") return true;
    if (text == "false" || text == "0") return false;
    return std::nullopt;
}

std::optional<std::string> Text(const pt::ptree& tree, const char* path) {
    if (auto child = tree.get_child_optional(path)) return child->data();
    return std::nullopt;
}

// A mesh factor or the conductivity: only a positive number makes sense for either.
void ReadPositiveReal(const pt::ptree& tree, const char* path, double& field) {
    if (auto text = Text(tree, path)) {
        if (auto value = ParseReal(*text); value && *value > 0.0) field = *value;
    }
}

template <size_t N>
void ReadWord(const pt::ptree& tree, const char* path, const char* const (&words)[N], int& field) {
    const auto text = Text(tree, path);
    if (!text) return;
    for (size_t i = 0; i < N; ++i) {
        if (*text == words[i]) field = static_cast<int>(i);
    }
}

template <size_t N>
std::string Word(const char* const (&words)[N], int index) {
    return index >= 0 && index < static_cast<int>(N) ? words[index] : "";
}

// An empty text keeps the folder (it would otherwise become the file-system root once a
// separator is added), and so does one longer than any path the system takes; a folder
// without a trailing separator gets '/'.
void ReadFolder(const pt::ptree& root, const char* path, std::wstring& field) {
    const auto text = Text(root, path);
    if (!text || text->empty() || text->size() >= PATH_MAX) return;
    std::wstring folder = platform::Utf8ToWide(*text);
    if (folder.back() != L'\\' && folder.back() != L'/') folder += L'/';
    field = std::move(folder);
}

void ReadMesh(const pt::ptree& mesh, AxisFactors& standardLength, AxisFactors& threshold) {
    for (const auto& [name, child] : mesh) {
        AxisFactors* factors = name == "standard_length" ? &standardLength
                               : name == "threshold"     ? &threshold
                                                         : nullptr;
        if (!factors) continue;
        const auto direction = Text(child, "<xmlattr>.direction");
        if (!direction) continue;
        double* field = *direction == "x"   ? &factors->x
                        : *direction == "y" ? &factors->y
                        : *direction == "z" ? &factors->z
                                            : nullptr;
        if (field) ReadPositiveReal(child, "value", *field);
    }
}

void AddMeshEntry(pt::ptree& mesh, const char* name, const char* direction, double value) {
    pt::ptree& entry = mesh.add_child(name, pt::ptree());
    entry.put("<xmlattr>.direction", direction);
    entry.put("<xmlattr>.type", kMeshType);
    entry.add("value", FormatReal(value));
}

// The settings document, read through the size and nesting caps; false for a file that
// cannot be read or does not parse.
bool ReadSettingsDocument(const fs::path& path, pt::ptree& document) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const std::optional<std::string> text = platform::ReadBoundedXml(in, kMaxSettingsBytes);
    if (!text) return false;
    try {
        std::istringstream parse(*text);
        pt::read_xml(parse, document);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

}  // namespace

// Calls `visit` with each stored field of `target`, `a` and `b` in turn; the three axes
// of a mesh factor count as fields of their own.
template <class Visit>
void ProgramSettings::ForEachStoredField(ProgramSettings& target, const ProgramSettings& a,
                                         const ProgramSettings& b, Visit visit) {
    visit(target.PartsFolder, a.PartsFolder, b.PartsFolder);
    visit(target.ExportFolder, a.ExportFolder, b.ExportFolder);
    for (auto axis : {&AxisFactors::x, &AxisFactors::y, &AxisFactors::z}) {
        visit(target.StandardLength.*axis, a.StandardLength.*axis, b.StandardLength.*axis);
        visit(target.Threshold.*axis, a.Threshold.*axis, b.Threshold.*axis);
    }
    visit(target.BackgroundType, a.BackgroundType, b.BackgroundType);
    visit(target.BackgroundTopColor, a.BackgroundTopColor, b.BackgroundTopColor);
    visit(target.BackgroundBottomColor, a.BackgroundBottomColor, b.BackgroundBottomColor);
    visit(target.FluidConductivity, a.FluidConductivity, b.FluidConductivity);
    visit(target.OutputListFile, a.OutputListFile, b.OutputListFile);
    visit(target.SimpleModeling, a.SimpleModeling, b.SimpleModeling);
    visit(target.MouseMode, a.MouseMode, b.MouseMode);
    visit(target.OneButtonOperation, a.OneButtonOperation, b.OneButtonOperation);
}

std::wstring GetDocumentsProductFolder() {
    std::wstring documents = platform::PathToWide(platform::DocumentsDirectory());
    if (documents.empty()) return {};
    if (documents.back() != L'/') documents += L'/';
    return documents + L"Ostrel/Zentrik2020/";
}

ProgramSettings::ProgramSettings() {
    const std::wstring base = GetDocumentsProductFolder();
    PartsFolder = base + L"parts/";
    ExportFolder = base + L"library/";
}

void ProgramSettings::ClearCurrentPart() {
    CurrentPackage.reset();
    CurrentModel.reset();
    CurrentPartPath.clear();
    CurrentPartFile = platform::FileIdentity();
}

bool ProgramSettings::RenamePartFile(const std::wstring& old_path, const std::wstring& new_path,
                                     std::wstring& line) {
    line.clear();
    std::error_code ec;
    if (!std::filesystem::exists(
            std::filesystem::symlink_status(platform::PathFromWide(old_path), ec)))
        return false;
    std::string error;
    if (!platform::RenameNoReplace(platform::PathFromWide(old_path),
                                   platform::PathFromWide(new_path), error)) {
        line = platform::Utf8ToWide(error);
        return false;
    }
    FollowMovedPath(old_path, new_path);
    line = L"rename " + old_path + L" to " + new_path;
    return true;
}

void ProgramSettings::FollowMovedPath(const std::wstring& old_path, const std::wstring& new_path) {
    // Identity is exact: names here may differ only in letter case.
    if (CurrentPartPath == old_path) {
        CurrentPartPath = new_path;
    } else if (CurrentPartPath.size() > old_path.size() &&
               CurrentPartPath.compare(0, old_path.size(), old_path) == 0 &&
               CurrentPartPath[old_path.size()] == L'/') {
        CurrentPartPath = new_path + CurrentPartPath.substr(old_path.size());
    }
}

std::wstring ProgramSettings::GetFilePath() const {
    return HomeFolder + platform::Utf8ToWide(kSettingsFileName);
}

SettingsFileState ProgramSettings::Load() {
    const SettingsFileState state = LoadFile();
    auto loaded = std::make_shared<ProgramSettings>(*this);
    loaded->ClearCurrentPart();
    loaded->loaded_.reset();
    loaded_ = std::move(loaded);
    return state;
}

SettingsFileState ProgramSettings::LoadFile() {
    unusable_file_ = false;
    const fs::path path = platform::PathFromWide(GetFilePath());
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(fs::symlink_status(path, ec))) return SettingsFileState::Missing;
    pt::ptree document;
    if (fs::is_regular_file(status) && ReadSettingsDocument(path, document)) {
        if (const auto root = document.get_child_optional("trelvo")) {
            ReadSettings(*root);
            return SettingsFileState::Read;
        }
    }
    unusable_file_ = true;
    return SettingsFileState::Unusable;
}

std::wstring ProgramSettings::KeepUnusableFileAside() {
    if (!unusable_file_) return {};
    const fs::path path = platform::PathFromWide(GetFilePath());
    fs::path aside = path;
    aside += kUnusableSuffix;
    std::error_code ec;
    // A folder in the file's place cannot replace an older kept file by renaming.
    if (fs::is_directory(fs::symlink_status(path, ec)) &&
        !fs::is_directory(fs::symlink_status(aside, ec))) {
        fs::remove(aside, ec);
    }
    if (std::rename(path.c_str(), aside.c_str()) != 0) return {};
    unusable_file_ = false;
    return platform::PathToWide(aside);
}

void ProgramSettings::ReadSettings(const boost::property_tree::ptree& root_element) {
    const pt::ptree* const root = &root_element;

    ReadFolder(*root, "folder.parts", PartsFolder);
    ReadFolder(*root, "folder.export", ExportFolder);

    if (const auto mesh = root->get_child_optional("mesh_division")) {
        ReadMesh(*mesh, StandardLength, Threshold);
    }
    if (const auto preview = root->get_child_optional("preview")) {
        ReadWord(*preview, "back_ground.color.type", kBackgroundWords, BackgroundType);
        for (auto [path, field] : {std::pair{"back_ground.color.top", &BackgroundTopColor},
                                   std::pair{"back_ground.color.bottom", &BackgroundBottomColor}}) {
            if (const auto text = Text(*preview, path)) {
                if (const auto value = ParseUnsigned(*text)) *field = *value;
            }
        }
    }
    if (const auto material = root->get_child_optional("material_property")) {
        ReadPositiveReal(*material, "fluid_thermal_conductivity", FluidConductivity);
    }
    if (const auto solver = root->get_child_optional("solver")) {
        if (const auto text = Text(*solver, "listfile.outputs")) {
            if (const auto value = ParseBool(*text)) OutputListFile = *value;
        }
        if (const auto text = Text(*solver, "modeling_type")) SimpleModeling = *text == "simple";
    }
    if (const auto mouse = root->get_child_optional("mouse")) {
        if (mouse->get_child_optional("operation_type")) {
            ReadWord(*mouse, "operation_type", kMouseModeWords, MouseMode);
            ReadWord(*mouse, "one_button_mode", kOneButtonWords, OneButtonOperation);
        }
    }
}

bool ProgramSettings::Save() const {
    // A file that could not be read and was not kept aside is never replaced.
    if (unusable_file_) return false;
    if (!loaded_) return Write();
    // Another program on the same home folder may have saved since this one loaded: what
    // this one left as it found it takes the file's newer value.
    ProgramSettings merged = *this;
    ProgramSettings disk = *loaded_;
    pt::ptree document;
    if (ReadSettingsDocument(platform::PathFromWide(GetFilePath()), document)) {
        if (const auto root = document.get_child_optional("trelvo")) disk.ReadSettings(*root);
    }
    ForEachStoredField(merged, *loaded_, disk,
                       [](auto& field, const auto& loaded, const auto& newer) {
                           if (field == loaded) field = newer;
                       });
    return merged.Write();
}

bool ProgramSettings::Write() const {
    pt::ptree document;
    pt::ptree& root = document.add_child("trelvo", pt::ptree());
    root.put("<xmlattr>.version", "2020");

    pt::ptree& folder = root.add_child("folder", pt::ptree());
    folder.add("parts", platform::WideToUtf8(PartsFolder));
    folder.add("export", platform::WideToUtf8(ExportFolder));

    pt::ptree& mesh = root.add_child("mesh_division", pt::ptree());
    AddMeshEntry(mesh, "standard_length", "x", StandardLength.x);
    AddMeshEntry(mesh, "standard_length", "y", StandardLength.y);
    AddMeshEntry(mesh, "standard_length", "z", StandardLength.z);
    AddMeshEntry(mesh, "threshold", "x", Threshold.x);
    AddMeshEntry(mesh, "threshold", "y", Threshold.y);
    AddMeshEntry(mesh, "threshold", "z", Threshold.z);

    pt::ptree& color = root.add_child("preview", pt::ptree()).add_child("back_ground", pt::ptree())
                           .add_child("color", pt::ptree());
    color.add("type", Word(kBackgroundWords, BackgroundType));
    color.add("top", std::to_string(BackgroundTopColor));
    color.add("bottom", std::to_string(BackgroundBottomColor));

    root.add_child("material_property", pt::ptree())
        .add("fluid_thermal_conductivity", FormatReal(FluidConductivity));

    pt::ptree& solver = root.add_child("solver", pt::ptree());
    solver.add_child("listfile", pt::ptree()).add("outputs", OutputListFile ? "true" : "false");
    if (SimpleModeling) solver.add("modeling_type", "simple");

    pt::ptree& mouse = root.add_child("mouse", pt::ptree());
    if (const std::string word = Word(kMouseModeWords, MouseMode); !word.empty()) {
        mouse.add("operation_type", word);
    }
    if (const std::string word = Word(kOneButtonWords, OneButtonOperation); !word.empty()) {
        mouse.add("one_button_mode", word);
    }

    std::ostringstream out;
    try {
        pt::write_xml(out, document, pt::xml_writer_make_settings<std::string>(' ', 2, "utf-8"));
    } catch (const pt::ptree_error&) {
        return false;
    }
    return platform::WriteFileAtomically(platform::PathFromWide(GetFilePath()), out.str());
}
