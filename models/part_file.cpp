#include "models/part_file.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <locale>
#include <optional>
#include <sstream>
#include <system_error>

#include <boost/property_tree/xml_parser.hpp>

#include "platform/bounded_xml.h"

namespace pkg {

namespace pt = boost::property_tree;

namespace {

constexpr const char* kRootElement = "ostl_trelvo";
constexpr int32_t kFormatVersion = 1;
// A part file holds a few hundred values; anything near this size is not one.
constexpr std::size_t kMaxPartFileBytes = 4 << 20;

std::string_view Trim(std::string_view s) {
    const char* ws = " \t\r\n\f\v";
    const size_t b = s.find_first_not_of(ws);
    if (b == std::string_view::npos) return std::string_view();
    const size_t e = s.find_last_not_of(ws);
    return s.substr(b, e - b + 1);
}

thread_local PartFileRefusal g_last_refusal;

const char* KindText(PartFileRefusal::Kind kind) {
    switch (kind) {
        case PartFileRefusal::Kind::kMissingElement:
            return "missing element: ";
        case PartFileRefusal::Kind::kNotNumber:
            return "not a number: ";
        case PartFileRefusal::Kind::kNotInteger:
            return "not an integer: ";
        default:
            return "not a boolean: ";
    }
}

const pt::ptree* Find(const pt::ptree& root, const std::string& path) {
    auto child = root.get_child_optional(pt::ptree::path_type(path, '.'));
    return child ? &*child : nullptr;
}

}  // namespace

PartFileError::PartFileError(PartFileRefusal::Kind kind, const std::string& path)
    : std::runtime_error(KindText(kind) + path), kind(kind), path(path) {}

PartFileRefusal LastPartFileRefusal() { return g_last_refusal; }

std::string FormatReal(double value) {
    std::ostringstream s;
    s.imbue(std::locale::classic());
    s.precision(17);
    s << value;
    return s.str();
}

bool ParseReal(const std::string& text, double& value) {
    std::string_view t = Trim(text);
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    if (t.empty()) return false;
    double v = 0.0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

bool ParseInt(const std::string& text, int32_t& value) {
    std::string_view t = Trim(text);
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    if (t.empty()) return false;
    int32_t v = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return false;
    value = v;
    return true;
}

bool ParseBool(const std::string& text, bool& value) {
    const std::string_view t = Trim(text);
    if (t == "true" || t == "1") {
        value = true;
        return true;
    }
    if (t == "false" || t == "0") {
        value = false;
        return true;
    }
    return false;
}

bool PartReader::Has(const std::string& path) const { return Find(root_, path) != nullptr; }

void PartReader::RequireGroup(const std::string& path) const {
    if (!Has(path)) throw PartFileError(PartFileRefusal::Kind::kMissingElement, path);
}

std::string PartReader::Text(const std::string& path) const {
    const pt::ptree* node = Find(root_, path);
    if (!node) throw PartFileError(PartFileRefusal::Kind::kMissingElement, path);
    return node->data();
}

void PartReader::Required(const std::string& path, double& field) const {
    if (!ParseReal(Text(path), field)) throw PartFileError(PartFileRefusal::Kind::kNotNumber, path);
}

void PartReader::Required(const std::string& path, int32_t& field) const {
    if (!ParseInt(Text(path), field)) throw PartFileError(PartFileRefusal::Kind::kNotInteger, path);
}

void PartReader::Optional(const std::string& path, double& field) const {
    if (const pt::ptree* node = Find(root_, path)) ParseReal(node->data(), field);
}

void PartReader::Optional(const std::string& path, int32_t& field) const {
    if (const pt::ptree* node = Find(root_, path)) ParseInt(node->data(), field);
}

void PartReader::Required(const std::string& path, bool& field) const {
    if (!ParseBool(Text(path), field))
        throw PartFileError(PartFileRefusal::Kind::kNotBoolean, path);
}

bool PartReader::OptionalOr(const std::string& path, double& field, double fallback) const {
    if (const pt::ptree* node = Find(root_, path)) {
        if (ParseReal(node->data(), field)) return true;
    }
    field = fallback;
    return false;
}

bool PartReader::Switch(const std::string& path) const {
    bool value = true;
    if (const pt::ptree* node = Find(root_, path)) {
        if (!ParseBool(node->data(), value)) value = true;
    }
    return value;
}

void PartWriter::Put(const std::string& path, double value) { PutText(path, FormatReal(value)); }

void PartWriter::Put(const std::string& path, int32_t value) {
    PutText(path, std::to_string(value));
}

void PartWriter::PutBool(const std::string& path, bool value) {
    PutText(path, value ? "true" : "false");
}

void PartWriter::PutText(const std::string& path, const std::string& value) {
    root_.put(pt::ptree::path_type(path, '.'), value);
}

bool ReadPartDocument(std::istream& in,
                      const std::function<bool(const PartReader&, const std::string&)>& body) {
    using Kind = PartFileRefusal::Kind;
    PartFileRefusal& refusal = g_last_refusal;
    const auto refuse = [&refusal](Kind kind, std::string detail = std::string()) {
        refusal = PartFileRefusal{kind, std::move(detail)};
        return false;
    };
    refusal = PartFileRefusal();
    try {
        const std::optional<std::string> text = platform::ReadBounded(in, kMaxPartFileBytes);
        if (!text && in.bad())
            return refuse(Kind::kNotRead, std::generic_category().message(errno));
        if (!text) return refuse(Kind::kTooLarge);
        if (platform::XmlNestingDepth(*text, platform::kMaxXmlDepth) > platform::kMaxXmlDepth)
            return refuse(Kind::kNestedTooDeep);
        std::istringstream parse(*text);
        pt::ptree doc;
        pt::read_xml(parse, doc);
        const pt::ptree* root = Find(doc, kRootElement);
        if (!root) return refuse(Kind::kNotPartFile);
        PartReader reader(*root);
        int32_t version = 0;
        reader.Required("version", version);
        const std::string type = reader.Text("type");
        return body(reader, type) || refuse(Kind::kOtherType, type);
    } catch (const pt::xml_parser_error& error) {
        return refuse(Kind::kNotXml,
                      "line " + std::to_string(error.line()) + ": " + error.message());
    } catch (const PartFileError& error) {
        return refuse(error.kind, error.path);
    } catch (const std::exception&) {
        // A path the tree refuses, no memory: the file is refused, never thrown out to the
        // caller.
        return refuse(Kind::kNotRead);
    }
}

bool WritePartDocument(std::ostream& out, const std::string& type,
                       const std::function<void(PartWriter&)>& body) {
    try {
        pt::ptree doc;
        pt::ptree& root = doc.add_child(kRootElement, pt::ptree());
        PartWriter writer(root);
        writer.Put("version", kFormatVersion);
        writer.PutText("type", type);
        body(writer);
        pt::write_xml(out, doc, pt::xml_writer_make_settings<std::string>(' ', 2, "utf-8"));
        out.flush();
        return static_cast<bool>(out);
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace pkg
