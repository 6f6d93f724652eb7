#include "export/exporter/compact_xml_writer.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <locale>

#include <boost/format.hpp>

#include "export/reg_link_manager/registance_link_manager.h"
#include "models/bga/bga_detailed_model.h"
#include "models/qfp/qfp.h"

namespace pkg::exporter {

namespace {

constexpr int kLibraryVersion = 2020;

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// Single resistances and the junction heat keep every digit a double carries ("%.17g"),
// with a '.' whatever the process locale says.
std::wstring Exact(double value) {
    char buffer[40];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general,
                                 17);
    return Widen(std::string(buffer, r.ptr));
}

// Value lists use the stream's default form (six significant digits), in the C locale.
template <size_t N>
std::wstring List(const wchar_t* pattern, const std::array<double, N>& values) {
    boost::wformat f(pattern, std::locale::classic());
    for (double v : values) f % v;
    return f.str();
}

void AddListElement(WideTree& parent, const wchar_t* element, const std::wstring& text) {
    WideTree& e = parent.add(element, text);
    e.put(L"<xmlattr>.unit", L"mm");
}

WideTree& AddNode(WideTree& network, const std::wstring& name) {
    WideTree& node = network.add(L"node", L"");
    node.put(L"<xmlattr>.name", name);
    return node;
}

WideTree& AddNetwork(WideTree& component) { return component.add_child(L"network", WideTree()); }

double ClampWidth(double w) { return w > 0.0 ? w : 0.0; }

}  // namespace

BoundingBox ModelBoundingBox(const Group& root) {
    BoundingBox box;
    const double big = std::numeric_limits<double>::max();
    box.min = Point3{big, big, big};
    box.max = Point3{-big, -big, -big};
    auto take = [&box](double x, double y, double z) {
        box.min.x = std::min(box.min.x, x);
        box.min.y = std::min(box.min.y, y);
        box.min.z = std::min(box.min.z, z);
        box.max.x = std::max(box.max.x, x);
        box.max.y = std::max(box.max.y, y);
        box.max.z = std::max(box.max.z, z);
    };
    struct Walk {
        decltype(take)& add;
        void operator()(const Group& g) const {
            for (const NamedCuboid& c : g.cuboids) {
                add(c.box.x, c.box.y, c.box.z);
                add(c.box.x + c.box.dx, c.box.y + c.box.dy, c.box.z + c.box.dz);
            }
            for (const NamedPrism& p : g.prisms) {
                for (const Point3& corner : p.prism.corner) {
                    add(corner.x, corner.y, p.prism.base_z);
                    add(corner.x, corner.y, p.prism.base_z + p.prism.thickness);
                }
            }
            for (const auto& child : g.children) {
                if (child) (*this)(*child);
            }
        }
    };
    Walk{take}(root);
    return box;
}

WideTree& AddLibraryElement(WideTree& root) {
    WideTree& library = root.add_child(L"library", WideTree());
    library.put(L"<xmlattr>.type", L"component");
    return library;
}

WideTree& AddComponentElement(WideTree& library, const std::wstring& type,
                              const std::wstring& name) {
    WideTree& component = library.add_child(L"component", WideTree());
    component.put(L"<xmlattr>.type", type);
    component.add(L"version", std::to_wstring(kLibraryVersion));
    component.add(L"name", name);
    return component;
}

void AddBaseElement(WideTree& component, double x, double y, double z) {
    AddListElement(component, L"base", List(L"%1%, %2%, %3%", std::array<double, 3>{x, y, z}));
}

void AddSizeElement(WideTree& component, double x, double y, double z) {
    AddListElement(component, L"size", List(L"%1%, %2%, %3%", std::array<double, 3>{x, y, z}));
}

void AddWidth4Element(WideTree& component, const std::array<double, 4>& w) {
    AddListElement(component, L"width", List(L"%1%, %2%, %3%, %4%", w));
}

void AddWidth6Element(WideTree& component, const std::array<double, 6>& w) {
    AddListElement(component, L"width", List(L"%1%, %2%, %3%, %4%, %5%, %6%", w));
}

void AddLeadElement(WideTree& component, const std::array<double, 6>& lead) {
    AddListElement(component, L"lead", List(L"%1%, %2%, %3%, %4%, %5%, %6%", lead));
}

void AddSurfaceNode(WideTree& network, const std::wstring& name) {
    WideTree& condition = AddNode(network, name).add(L"condition", L"");
    condition.put(L"<xmlattr>.type", L"log_law");
}

void AddJunctionNode(WideTree& network, double heat) {
    WideTree& condition = AddNode(network, L"J").add(L"condition", Exact(heat));
    condition.put(L"<xmlattr>.type", L"source");
    condition.put(L"<xmlattr>.unit", L"W");
}

void AddLeadNode(WideTree& network) { AddConductionNode(network, L"L"); }

void AddConductionNode(WideTree& network, const std::wstring& name) {
    WideTree& condition = AddNode(network, name).add(L"condition", L"");
    condition.put(L"<xmlattr>.type", L"conduction");
}

void AddLink(WideTree& network, const std::wstring& node1, const std::wstring& node2,
             double value) {
    WideTree& link = network.add(L"link", L"");
    link.put(L"<xmlattr>.node1", node1);
    link.put(L"<xmlattr>.node2", node2);
    WideTree& condition = link.add(L"condition", Exact(value));
    condition.put(L"<xmlattr>.type", L"resistance");
    condition.put(L"<xmlattr>.unit", L"K/W");
}

namespace {

void WriteTwoResistor(const Group& model_root, double heat, const double* values,
                      const std::wstring& name, WideTree& root) {
    const BoundingBox box = ModelBoundingBox(model_root);
    WideTree& component = AddComponentElement(AddLibraryElement(root), L"two", name);
    AddBaseElement(component, 0.0, 0.0, 0.0);
    AddSizeElement(component, box.max.x - box.min.x, box.max.y - box.min.y,
                   box.max.z - box.min.z);
    WideTree& network = AddNetwork(component);
    AddSurfaceNode(network, L"T");
    AddSurfaceNode(network, L"B");
    AddJunctionNode(network, heat);
    AddLink(network, L"T", L"J", values[0]);
    AddLink(network, L"B", L"J", values[1]);
}

// Lead spans along y and x, thickness, outer length, mounting length and lead height. The
// counts are taken as doubles: a part file may hold INT_MIN, and every int is exact there.
std::array<double, 6> LeadValues(const qfp::QFP& q, double height) {
    const double y_leads = q.lead.number_of_ymin_ymax_lead;
    const double x_leads = q.lead.number_of_xmin_xmax_lead;
    const double ySpan = q.IsSOP() ? 0.0 : (y_leads - 1) * q.lead.pitch + q.lead.width;
    const double xSpan = (x_leads - 1) * q.lead.pitch + q.lead.width;
    return {ySpan,
            xSpan,
            q.lead.thickness,
            q.outer_lead.length,
            q.outer_lead.length_of_mouting_area,
            height};
}

}  // namespace

void WriteTwoResistorModelXml(const qfp::QFP& package, const Group& model_root,
                              const double* values, const std::wstring& name, WideTree& root) {
    WriteTwoResistor(model_root, package.chip.rate_of_heating, values, name, root);
}

void WriteBgaTwoResistorModelXml(const bga::BGADetailedModel& model, const double* values,
                                 const std::wstring& name, WideTree& root) {
    WriteTwoResistor(model.root, model.chip.rate_of_heating, values, name, root);
}

void WriteThreeResistorModelXml(const qfp::QFP& package, const double* values,
                                const std::wstring& name, WideTree& root) {
    const qfp::QFP& q = package;
    WideTree& component =
        AddComponentElement(AddLibraryElement(root), Widen(q.TypeName()), name);
    AddBaseElement(component, 0.0, 0.0, 0.0);
    AddSizeElement(component, q.mold.size.x, q.mold.size.y,
                   q.mold.thickness + q.outer_lead.stand_off);
    AddLeadElement(component,
                   LeadValues(q, q.outer_lead.height_from_bottom_of_mold + q.outer_lead.stand_off));
    WideTree& network = AddNetwork(component);
    AddSurfaceNode(network, L"T");
    AddSurfaceNode(network, L"B");
    AddJunctionNode(network, q.chip.rate_of_heating);
    AddLeadNode(network);
    AddLink(network, L"T", L"J", values[0]);
    AddLink(network, L"B", L"J", values[1]);
    AddLink(network, L"L", L"J", values[2]);
}

void WriteDelphiModelXml(const qfp::QFP& package, const double* values,
                         const reg_link_manager::RegistanceLinkManager& links,
                         const std::wstring& name, WideTree& root) {
    const qfp::QFP& q = package;
    const bool sop = q.IsSOP();
    WideTree& component =
        AddComponentElement(AddLibraryElement(root), Widen(q.TypeName()) + L"_delphi", name);
    // The model stands on its stand-off: heights count from the mold's underside.
    AddBaseElement(component, 0.0, 0.0, q.outer_lead.stand_off);
    AddSizeElement(component, q.mold.size.x, q.mold.size.y, q.mold.thickness);
    AddWidth4Element(component, {q.die_pad.size.x, q.die_pad.size.y, q.die_pad.size.x,
                                 q.die_pad.size.y});
    AddLeadElement(component, LeadValues(q, q.outer_lead.height_from_bottom_of_mold));
    WideTree& network = AddNetwork(component);
    for (const wchar_t* n : {L"TI", L"TO", L"BI", L"BO", L"S1"}) AddSurfaceNode(network, n);
    if (sop) AddSurfaceNode(network, L"S2");
    AddJunctionNode(network, q.chip.rate_of_heating);
    AddLeadNode(network);
    // A QFP has one side node "S" in its link table; the document calls it "S1".
    auto rename = [sop](const std::wstring& n) { return (!sop && n == L"S") ? L"S1" : n; };
    for (int l = 0; l < links.count; ++l) {
        if (values[l] == 0.0) continue;  // the solver gave this link no value
        AddLink(network, rename(links.nodes[2 * l]), rename(links.nodes[2 * l + 1]), values[l]);
    }
}

void WriteBgaDelphiModelXml(const bga::BGA& package, const double* values,
                            const reg_link_manager::RegistanceLinkManager& links,
                            const std::wstring& name, WideTree& root) {
    const bga::BGA& b = package;
    WideTree& component = AddComponentElement(AddLibraryElement(root), L"bga_delphi", name);
    AddBaseElement(component, 0.0, 0.0, 0.0);
    AddSizeElement(component, b.board.size.x, b.board.size.y,
                   b.SubstrateTopHeight() + b.mold.thickness);
    AddWidth6Element(component, BgaDelphiWidths(b));
    WideTree& network = AddNetwork(component);
    AddSurfaceNode(network, L"TI");
    AddSurfaceNode(network, L"TO");
    AddSurfaceNode(network, L"S");
    AddConductionNode(network, L"LO");
    const int layout = b.solder_ball.layout;
    if (layout == 0) {
        AddConductionNode(network, L"LI");
    } else if (layout == 1) {
        AddConductionNode(network, L"BI");
    } else if (layout == 2) {
        AddConductionNode(network, L"BI");
        AddConductionNode(network, L"LI");
    }
    AddJunctionNode(network, b.chip.rate_of_heating);
    for (int l = 0; l < links.count; ++l) {
        if (values[l] == 0.0) continue;
        AddLink(network, MapBgaDelphiNodeName(layout, links.nodes[2 * l]),
                MapBgaDelphiNodeName(layout, links.nodes[2 * l + 1]), values[l]);
    }
}

std::array<double, 6> BgaDelphiWidths(const bga::BGA& package) {
    const bga::BGA& b = package;
    const double p = b.solder_ball.pitch;
    std::array<double, 6> w{b.chip.size.x, b.chip.size.y, 0.0, 0.0, 0.0, 0.0};
    const int layout = b.solder_ball.layout;
    if (layout == 0) {
        // The inner ball region runs from -R to +R about the package centre.
        w[4] = ClampWidth(2.0 * bga::BGAInnerRegionExtentX(b));
        w[5] = ClampWidth(2.0 * bga::BGAInnerRegionExtentY(b));
        w[2] = w[4];
        w[3] = w[5];
    } else if (layout == 1 || layout == 2) {
        // The ball-free centre is the same region the node registration and the model's
        // air block use.
        w[2] = ClampWidth(2.0 * bga::BGAPeripheralRegionExtentX(b));
        w[3] = ClampWidth(2.0 * bga::BGAPeripheralRegionExtentY(b));
        if (layout == 2) {
            w[4] = ClampWidth(b.solder_ball.number_center.x * p);
            w[5] = ClampWidth(b.solder_ball.number_center.y * p);
        }
    }
    return w;
}

std::wstring MapBgaDelphiNodeName(int layout, const std::wstring& name) {
    if (layout == 1) {
        if (name == L"B") return L"BI";
        if (name == L"L") return L"LO";
    } else if (layout == 2) {
        if (name == L"B") return L"BI";
    }
    return name;
}

}  // namespace pkg::exporter
