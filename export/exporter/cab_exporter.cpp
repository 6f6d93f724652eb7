#include "export/exporter/cab_exporter.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>

#include <boost/property_tree/xml_parser.hpp>

#include "export/exporter/detailed_xml_writer.h"
#include "platform/cabinet.h"
#include "platform/temp_files.h"
#include "platform/wide_string.h"

namespace pkg::exporter {

namespace {

namespace fs = std::filesystem;

// A cabinet stores names of at most 255 bytes.
constexpr size_t kMaxCabinetName = 255;

}  // namespace

bool CabExporter::write(const std::wstring& package_type, const Group& root,
                        const std::vector<Property>& materials, double chip_heat,
                        const std::wstring& cabinet_path) {
    const std::wstring folder = MakeTempExportFolder();
    if (folder.empty()) return false;
    const std::wstring stem = platform::PathToWide(platform::PathFromWide(cabinet_path).stem());
    const std::wstring xml_path = folder + stem + L".xml";

    bool ok = false;
    try {
        ok = WriteModelXml(package_type, root, materials, stem, chip_heat, xml_path) &&
             CreateCabinet(cabinet_path, {xml_path});
    } catch (const std::exception&) {
        ok = false;
    }
    platform::RemoveQuietly(platform::PathFromWide(xml_path));
    platform::RemoveQuietly(platform::PathFromWide(folder));
    return ok;
}

bool WriteModelXml(const std::wstring& package_type, const Group& root,
                   const std::vector<Property>& materials, const std::wstring& stem,
                   double chip_heat, const std::wstring& xml_path) {
    DetailedXmlWriter writer;
    writer.model_name = stem;
    writer.chip_heat = chip_heat;
    WriteDetailedModelXml(writer, package_type, root, materials);
    return WriteUtf8XmlFile(writer.root, xml_path);
}

bool WriteUtf8XmlFile(const boost::property_tree::wptree& tree, const std::wstring& xml_path) {
    std::ofstream out(platform::PathFromWide(xml_path), std::ios::binary | std::ios::trunc);
    if (!out) return false;

    // The document is written as wide text and encoded to UTF-8 in one step, without a
    // byte-order mark.
    std::wostringstream text;
    try {
        boost::property_tree::write_xml(
            text, tree,
            boost::property_tree::xml_writer_make_settings<std::wstring>(L' ', 2, L"utf-8"));
    } catch (const boost::property_tree::xml_parser_error&) {
        return false;
    }
    if (!text) return false;
    const std::string bytes = platform::WideToUtf8(text.str());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

std::string TempExportFolderPrefix(const std::tm& t) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "qvx_%d%d%d%d%d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min);
    return buffer;
}

bool IsTempExportFolderPrefix(std::string_view prefix) {
    constexpr std::string_view kStart = "qvx_";
    if (prefix.size() < kStart.size() + 2 || prefix.substr(0, kStart.size()) != kStart ||
        prefix.back() != '_') {
        return false;
    }
    // A four-digit year and month, day, hour and minute of one or two digits each.
    const std::string_view time = prefix.substr(kStart.size(), prefix.size() - kStart.size() - 1);
    return time.size() >= 8 && time.size() <= 12 &&
           std::all_of(time.begin(), time.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::wstring MakeTempExportFolder() {
    const fs::path temp = platform::TempDirectory();
    if (temp.empty()) return std::wstring();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return std::wstring();
    const fs::path folder =
        platform::MakeUniqueDirectory(temp, TempExportFolderPrefix(local) + "_");
    if (folder.empty()) return std::wstring();
    return platform::PathToWide(folder) + L"/";
}

bool CreateCabinet(const std::wstring& cabinet_path, const std::vector<std::wstring>& files) {
    if (files.empty()) return false;
    const fs::path target = platform::PathFromWide(cabinet_path);
    if (target.filename().native().size() > kMaxCabinetName) return false;
    std::vector<platform::CabinetEntry> entries;
    for (const std::wstring& file : files) {
        const fs::path source = platform::PathFromWide(file);
        entries.push_back(platform::CabinetEntry{source.filename().native(), source});
    }
    return platform::WriteCabinet(target, entries);
}

}  // namespace pkg::exporter
