#include "tests/models/part_file_test_util.h"

#include <sstream>

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include "models/part_file.h"

namespace testutil {

namespace pt = boost::property_tree;

namespace {

pt::ptree Parse(const std::string& text) {
    std::istringstream in(text);
    pt::ptree doc;
    pt::read_xml(in, doc, pt::xml_parser::trim_whitespace);
    return doc;
}

std::string Format(const pt::ptree& doc) {
    std::ostringstream out;
    pt::write_xml(out, doc, pt::xml_writer_make_settings<std::string>(' ', 2, "utf-8"));
    return out.str();
}

void Perturb(pt::ptree& node, const std::string& keep, int& counter) {
    for (auto& child : node) {
        if (!child.second.empty()) {
            Perturb(child.second, keep, counter);
            continue;
        }
        if (keep.find("," + child.first + ",") != std::string::npos) continue;
        const std::string v = child.second.data();
        double d = 0;
        int32_t i = 0;
        ++counter;
        if (v == "true" || v == "false") {
            child.second.data() = (v == "true") ? "false" : "true";
        } else if (v.find_first_of(".e") == std::string::npos && pkg::ParseInt(v, i)) {
            child.second.data() = std::to_string(i + counter);
        } else if (pkg::ParseReal(v, d)) {
            child.second.data() = pkg::FormatReal(d + 0.001 * counter);
        }
    }
}

}  // namespace

std::string Write(const pkg::SemiconductorPackage& p) {
    std::ostringstream out;
    if (!p.WritePartFile(out)) return std::string();
    return out.str();
}

bool Read(pkg::SemiconductorPackage& p, const std::string& text) {
    std::istringstream in(text);
    return p.ReadPartFile(in);
}

std::string PerturbValues(const std::string& part_file, const std::string& keep_names) {
    pt::ptree doc = Parse(part_file);
    int counter = 0;
    Perturb(doc.get_child("ostl_trelvo"), "," + keep_names + ",", counter);
    return Format(doc);
}

std::string WithoutElement(const std::string& part_file, const std::string& path) {
    pt::ptree doc = Parse(part_file);
    pt::ptree& root = doc.get_child("ostl_trelvo");
    const size_t dot = path.rfind('.');
    pt::ptree& parent = dot == std::string::npos
                            ? root
                            : root.get_child(pt::ptree::path_type(path.substr(0, dot), '.'));
    parent.erase(path.substr(dot == std::string::npos ? 0 : dot + 1));
    return Format(doc);
}

std::string WithElement(const std::string& part_file, const std::string& path,
                        const std::string& text) {
    pt::ptree doc = Parse(part_file);
    doc.get_child("ostl_trelvo").put(pt::ptree::path_type(path, '.'), text);
    return Format(doc);
}

}  // namespace testutil
