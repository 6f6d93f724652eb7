#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include <boost/property_tree/ptree.hpp>

#include "models/model_tree.h"

namespace pkg::exporter {

// Writes a detailed or simplified model as a cabinet holding its one model library XML,
// staged in a temporary folder of its own that is removed before returning.
class CabExporter {
public:
    // `package_type` is the part's folder name ("PBGA", ...), `chip_heat` in W. False when
    // anything fails; an earlier cabinet at `cabinet_path` is then left as it was.
    static bool write(const std::wstring& package_type, const Group& root,
                      const std::vector<Property>& materials, double chip_heat,
                      const std::wstring& cabinet_path);
};

// Writes the model library XML of the model to `xml_path` as UTF-8, indented by two
// spaces; `stem` names the material group and the face sets. False when the file does
// not open or the writer fails.
bool WriteModelXml(const std::wstring& package_type, const Group& root,
                   const std::vector<Property>& materials, const std::wstring& stem,
                   double chip_heat, const std::wstring& xml_path);

// Writes a model library tree to `xml_path` as UTF-8 XML indented by two spaces; false
// when the file does not open or a write fails.
bool WriteUtf8XmlFile(const boost::property_tree::wptree& tree, const std::wstring& xml_path);

// Creates a new staging folder in the system temporary folder and returns its path with a
// trailing '/'; empty when it cannot be created. The name starts with the prefix below and
// ends in a unique suffix, so concurrent or same-minute exports never share a folder.
std::wstring MakeTempExportFolder();

// "qvx_" followed by year, month, day, hour and minute run together without padding.
std::string TempExportFolderPrefix(const std::tm& local_time);

// The prefix of a staging folder's name as MakeTempExportFolder gives it: the text above
// followed by '_'. Start-up recognises a killed export's leftovers by it.
bool IsTempExportFolderPrefix(std::string_view prefix);

// Packs `files` into a cabinet at `cabinet_path`, each stored under its bare file name.
// False for an empty list, a name longer than a cabinet holds, or a write failure.
bool CreateCabinet(const std::wstring& cabinet_path, const std::vector<std::wstring>& files);

}  // namespace pkg::exporter
