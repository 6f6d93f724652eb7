#pragma once

#include <optional>
#include <string>
#include <vector>

#include <boost/property_tree/ptree.hpp>

#include "models/model_tree.h"

namespace pkg::exporter {

// State of one detailed-model library document: the tree it fills, the model name (the
// cabinet's stem, which names the material group and prefixes the face sets) and the
// heat in W put on the block named "chip".
struct DetailedXmlWriter {
    boost::property_tree::wptree root;
    std::wstring model_name;
    double chip_heat = 0.0;
};

// Replaces the writer's root by the single "library" element: materials, the group tree,
// then the face sets of the package type ("QFP", "SOP", "PBGA", "FCBGA"; compared exactly).
void WriteDetailedModelXml(DetailedXmlWriter& writer, const std::wstring& package_type,
                           const Group& root, const std::vector<Property>& materials);

void WriteMaterialProperties(const DetailedXmlWriter& writer,
                             const std::vector<Property>& materials,
                             boost::property_tree::wptree& library);
void WriteGroupTree(const DetailedXmlWriter& writer, const Group& group,
                    boost::property_tree::wptree& parent);
void WriteCubeComponent(const NamedCuboid& cuboid, boost::property_tree::wptree& parent,
                        std::optional<double> heat);
void WriteHexaComponent(const NamedPrism& prism, boost::property_tree::wptree& parent);
void WriteFaceSets(const DetailedXmlWriter& writer, const std::wstring& package_type,
                   const Group& root, boost::property_tree::wptree& library);

// Part names of the outer leads and solder balls that stand on z = 0, depth-first in
// stored order; they carry the package's mounting faces.
void CollectMountedLeadNames(const Group& group, std::vector<std::string>& names);
void CollectMountedBallNames(const Group& group, std::vector<std::string>& names);

// "%g, %g, %g" in the classic locale: a point or size in mm.
std::wstring FormatPoint(double x, double y, double z);

}  // namespace pkg::exporter
