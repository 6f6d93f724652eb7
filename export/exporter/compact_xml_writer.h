#pragma once

#include <array>
#include <string>

#include <boost/property_tree/ptree.hpp>

#include "models/model_tree.h"

namespace pkg::bga {
class BGA;
class BGADetailedModel;
}  // namespace pkg::bga
namespace pkg::qfp {
class QFP;
}
namespace pkg::reg_link_manager {
class RegistanceLinkManager;
}

namespace pkg::exporter {

using WideTree = boost::property_tree::wptree;

// Smallest and largest corner of everything in a group tree (mm).
struct BoundingBox {
    Point3 min;
    Point3 max;
};
BoundingBox ModelBoundingBox(const Group& root);

// Element operations of the compact model library document.
WideTree& AddLibraryElement(WideTree& root);
WideTree& AddComponentElement(WideTree& library, const std::wstring& type,
                              const std::wstring& name);
void AddBaseElement(WideTree& component, double x, double y, double z);
void AddSizeElement(WideTree& component, double x, double y, double z);
void AddWidth4Element(WideTree& component, const std::array<double, 4>& w);
void AddWidth6Element(WideTree& component, const std::array<double, 6>& w);
void AddLeadElement(WideTree& component, const std::array<double, 6>& lead);
void AddSurfaceNode(WideTree& network, const std::wstring& name);
void AddJunctionNode(WideTree& network, double heat);
void AddLeadNode(WideTree& network);
void AddConductionNode(WideTree& network, const std::wstring& name);
void AddLink(WideTree& network, const std::wstring& node1, const std::wstring& node2,
             double value);

// The writers fill `root` with one compact component. `values` holds the computed
// resistances in K/W (two-resistor: T-J, B-J; three-resistor: also L-J; DELPHI: one per
// link of the table, in table order, 0.0 for a link that is absent).
void WriteTwoResistorModelXml(const qfp::QFP& package, const Group& model_root,
                              const double* values, const std::wstring& name, WideTree& root);
void WriteBgaTwoResistorModelXml(const bga::BGADetailedModel& model, const double* values,
                                 const std::wstring& name, WideTree& root);
void WriteThreeResistorModelXml(const qfp::QFP& package, const double* values,
                                const std::wstring& name, WideTree& root);
void WriteDelphiModelXml(const qfp::QFP& package, const double* values,
                         const reg_link_manager::RegistanceLinkManager& links,
                         const std::wstring& name, WideTree& root);
void WriteBgaDelphiModelXml(const bga::BGA& package, const double* values,
                            const reg_link_manager::RegistanceLinkManager& links,
                            const std::wstring& name, WideTree& root);

// Widths of the BGA DELPHI surface regions: chip x, y, then the ball regions' x, y pairs.
// Never negative: degenerate ball counts give width 0.
std::array<double, 6> BgaDelphiWidths(const bga::BGA& package);
// Link-table names as the BGA DELPHI document calls them for a ball layout.
std::wstring MapBgaDelphiNodeName(int layout, const std::wstring& name);

}  // namespace pkg::exporter
