#include "app/program_settings.h"

#include <climits>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>
#include <type_traits>
#include <variant>

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

// Where a stored value lives: a member of the settings, or one axis of a mesh factor.
struct AxisMember {
    AxisFactors ProgramSettings::*factors;
    double AxisFactors::*axis;
};
using Member = std::variant<std::wstring ProgramSettings::*, double ProgramSettings::*, AxisMember,
                            int ProgramSettings::*, std::uint32_t ProgramSettings::*,
                            bool ProgramSettings::*>;

constexpr AxisMember Axis(AxisFactors ProgramSettings::*factors, double AxisFactors::*axis) {
    return {factors, axis};
}

template <class Settings, class T>
auto& FieldOf(Settings& settings, T ProgramSettings::*member) {
    return settings.*member;
}

template <class Settings>
auto& FieldOf(Settings& settings, AxisMember member) {
    return (settings.*member.factors).*member.axis;
}

// The words a number (by its index) or a marker switch is stored as.
struct Words {
    const char* const* list = nullptr;
    int count = 0;
};

template <size_t N>
constexpr Words WordsOf(const char* const (&words)[N]) {
    return {words, static_cast<int>(N)};
}

// One value of the settings file. What its text may hold follows the member's type:
//   a folder: any text but an empty one; '/' is added when it ends without a separator;
//   a double: a finite number above zero (a mesh factor or the conductivity);
//   a colour: an unsigned 32-bit decimal number;
//   an int: one of `words`, stored as its index;
//   a bool: "true" or "false" ("1" and "0" read too); with `words`, a marker element that is
//     written as words[0] only when true and reads true exactly when it holds that word.
struct StoredField {
    const char* section;    // the element below the root
    const char* key;        // the key path inside the section, or the mesh entry's name
    const char* direction;  // a mesh entry's direction attribute; its value is the child "value"
    Member member;
    // The default in the file's own notation (a folder's is below the product folder);
    // none for a marker, which starts false.
    const char* initial;
    Words words = {};
    bool omitted_without_word = false;  // an int without a word writes nothing, not ""
    const char* read_beside = nullptr;  // read only when the section holds this key as well
};

using PS = ProgramSettings;

constexpr const char* kSimpleWord[] = {"simple"};

// The stored fields in the order the file holds them. Each section is written once, at its
// first field, even when none of its fields writes anything.
constexpr StoredField kStoredFields[] = {
    {"folder", "parts", nullptr, &PS::PartsFolder, "parts/"},
    {"folder", "export", nullptr, &PS::ExportFolder, "library/"},
    {"mesh_division", "standard_length", "x", Axis(&PS::StandardLength, &AxisFactors::x), "0.5"},
    {"mesh_division", "standard_length", "y", Axis(&PS::StandardLength, &AxisFactors::y), "0.5"},
    {"mesh_division", "standard_length", "z", Axis(&PS::StandardLength, &AxisFactors::z), "4"},
    {"mesh_division", "threshold", "x", Axis(&PS::Threshold, &AxisFactors::x), "0.1"},
    {"mesh_division", "threshold", "y", Axis(&PS::Threshold, &AxisFactors::y), "0.1"},
    {"mesh_division", "threshold", "z", Axis(&PS::Threshold, &AxisFactors::z), "0.1"},
    {"preview", "back_ground.color.type", nullptr, &PS::BackgroundType, "gradation",
     WordsOf(kBackgroundWords)},
    // 0xFF7E00: red 0, green 126, blue 255.
    {"preview", "back_ground.color.top", nullptr, &PS::BackgroundTopColor, "16743936"},
    // 0xFFFFFF: white.
    {"preview", "back_ground.color.bottom", nullptr, &PS::BackgroundBottomColor, "16777215"},
    {"material_property", "fluid_thermal_conductivity", nullptr, &PS::FluidConductivity, "0.0256"},
    {"solver", "listfile.outputs", nullptr, &PS::OutputListFile, "false"},
    {"solver", "modeling_type", nullptr, &PS::SimpleModeling, nullptr, WordsOf(kSimpleWord)},
    {"mouse", "operation_type", nullptr, &PS::MouseMode, "3Button", WordsOf(kMouseModeWords), true},
    {"mouse", "one_button_mode", nullptr, &PS::OneButtonOperation, "3DRotate",
     WordsOf(kOneButtonWords), true, "operation_type"},
};

// Calls `visit` with the field `stored` names in each of `settings`.
template <class Visit, class... Settings>
void VisitField(const StoredField& stored, Visit visit, Settings&... settings) {
    std::visit([&](auto member) { visit(FieldOf(settings, member)...); }, stored.member);
}

// An empty text keeps the folder (it would otherwise become the file-system root once a
// separator is added), and so does one longer than any path the system takes; a folder
// without a trailing separator gets '/'.
void ReadText(const StoredField&, const std::string& text, std::wstring& field) {
    if (text.empty() || text.size() >= PATH_MAX) return;
    std::wstring folder = platform::Utf8ToWide(text);
    if (folder.back() != L'\\' && folder.back() != L'/') folder += L'/';
    field = std::move(folder);
}

void ReadText(const StoredField&, const std::string& text, double& field) {
    if (auto value = ParseReal(text); value && *value > 0.0) field = *value;
}

void ReadText(const StoredField&, const std::string& text, std::uint32_t& field) {
    if (const auto value = ParseUnsigned(text)) field = *value;
}

void ReadText(const StoredField& stored, const std::string& text, int& field) {
    for (int i = 0; i < stored.words.count; ++i) {
        if (text == stored.words.list[i]) field = i;
    }
}

void ReadText(const StoredField& stored, const std::string& text, bool& field) {
    if (stored.words.count > 0) {
        field = text == stored.words.list[0];
    } else if (const auto value = ParseBool(text)) {
        field = *value;
    }
}

// The text a field is written as; none when its element is left out.
std::optional<std::string> StoredText(const StoredField&, const std::wstring& field) {
    return platform::WideToUtf8(field);
}

std::optional<std::string> StoredText(const StoredField&, double field) {
    return FormatReal(field);
}

std::optional<std::string> StoredText(const StoredField&, std::uint32_t field) {
    return std::to_string(field);
}

std::optional<std::string> StoredText(const StoredField& stored, int field) {
    if (field >= 0 && field < stored.words.count) return stored.words.list[field];
    if (stored.omitted_without_word) return std::nullopt;
    return std::string();
}

std::optional<std::string> StoredText(const StoredField& stored, bool field) {
    if (stored.words.count == 0) return field ? "true" : "false";
    if (field) return stored.words.list[0];
    return std::nullopt;
}

// Reads `field` from its element in `section`; a mesh factor from every entry of its name
// and direction in document order, so the last one that reads wins.
template <class T>
void ReadStoredField(const StoredField& stored, const pt::ptree& section, T& field) {
    if (!stored.direction) {
        if (const auto text = Text(section, stored.key)) ReadText(stored, *text, field);
        return;
    }
    for (const auto& [name, entry] : section) {
        if (name != stored.key || Text(entry, "<xmlattr>.direction") != stored.direction) continue;
        if (const auto text = Text(entry, "value")) ReadText(stored, *text, field);
    }
}

// Appends `field`'s element to `section`, unless the field leaves it out. Elements are
// appended, never merged, so the mesh entries of one name stay apart.
template <class T>
void WriteStoredField(const StoredField& stored, const T& field, pt::ptree& section) {
    const std::optional<std::string> text = StoredText(stored, field);
    if (!text) return;
    if (!stored.direction) {
        section.add(stored.key, *text);
        return;
    }
    pt::ptree& entry = section.add_child(stored.key, pt::ptree());
    entry.put("<xmlattr>.direction", stored.direction);
    entry.put("<xmlattr>.type", kMeshType);
    entry.add("value", *text);
}

// Calls `visit` with each stored field of `target`, `a` and `b` in turn; the three axes
// of a mesh factor count as fields of their own.
template <class Visit>
void ForEachStoredField(ProgramSettings& target, const ProgramSettings& a,
                        const ProgramSettings& b, Visit visit) {
    for (const StoredField& stored : kStoredFields) VisitField(stored, visit, target, a, b);
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

std::wstring GetDocumentsProductFolder() {
    std::wstring documents = platform::PathToWide(platform::DocumentsDirectory());
    if (documents.empty()) return {};
    if (documents.back() != L'/') documents += L'/';
    return documents + L"Ostrel/Zentrik2020/";
}

ProgramSettings::ProgramSettings() {
    const std::wstring product_folder = GetDocumentsProductFolder();
    for (const StoredField& stored : kStoredFields) {
        VisitField(
            stored,
            [&](auto& field) {
                field = {};
                if (!stored.initial) return;
                if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::wstring>) {
                    field = product_folder + platform::Utf8ToWide(stored.initial);
                } else {
                    ReadText(stored, stored.initial, field);
                }
            },
            *this);
    }
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
        line = L"failed to rename " + old_path + L" to " + new_path + L": " +
               platform::Utf8ToWide(error);
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

void ProgramSettings::ReadSettings(const boost::property_tree::ptree& root) {
    for (const StoredField& stored : kStoredFields) {
        const auto section = root.get_child_optional(stored.section);
        if (!section) continue;
        if (stored.read_beside && !section->get_child_optional(stored.read_beside)) continue;
        VisitField(
            stored, [&](auto& field) { ReadStoredField(stored, *section, field); }, *this);
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

    pt::ptree* section = nullptr;
    std::string_view section_name;
    for (const StoredField& stored : kStoredFields) {
        if (!section || section_name != stored.section) {
            section = &root.add_child(stored.section, pt::ptree());
            section_name = stored.section;
        }
        VisitField(
            stored, [&](const auto& field) { WriteStoredField(stored, field, *section); }, *this);
    }

    std::ostringstream out;
    try {
        pt::write_xml(out, document, pt::xml_writer_make_settings<std::string>(' ', 2, "utf-8"));
    } catch (const pt::ptree_error&) {
        return false;
    }
    return platform::WriteFileAtomically(platform::PathFromWide(GetFilePath()), out.str());
}
