#include "export/exporter/detailed_xml_writer.h"

#include <charconv>
#include <locale>

#include "models/package_types.h"
#include "platform/wide_string.h"

namespace pkg::exporter {

namespace {

using boost::property_tree::wptree;

// Doubles go through the property tree's own conversion (17 significant digits), pinned
// to the classic locale so a user's decimal comma never reaches the file.
using RealTranslator =
    boost::property_tree::stream_translator<wchar_t, std::char_traits<wchar_t>,
                                            std::allocator<wchar_t>, double>;

void AddReal(wptree& parent, const wchar_t* name, double value) {
    parent.add(name, value, RealTranslator(std::locale::classic()));
}

// Part and material names are UTF-8 in the model tree.
std::wstring Wide(const std::string& narrow) { return platform::Utf8ToWide(narrow); }

wptree& AddPoint(wptree& parent, const std::wstring& name, double x, double y, double z) {
    wptree& node = parent.add(name, FormatPoint(x, y, z));
    node.put(L"<xmlattr>.unit", L"mm");
    return node;
}

void AddFace(wptree& faceset, const std::string& part, int face) {
    faceset.add(L"face", Wide(part) + L", " + std::to_wstring(face) + L", side2");
}

bool IsMounted(const std::string& name, const char* prefix, double z) {
    return name.rfind(prefix, 0) == 0 && z == 0.0;
}

}  // namespace

std::wstring FormatPoint(double x, double y, double z) {
    std::wstring out;
    for (double v : {x, y, z}) {
        char buffer[32];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 6);
        if (!out.empty()) out += L", ";
        out.append(buffer, result.ptr);
    }
    return out;
}

void WriteDetailedModelXml(DetailedXmlWriter& writer, const std::wstring& package_type,
                           const Group& root, const std::vector<Property>& materials) {
    writer.root.clear();
    wptree& library = writer.root.add(L"library", L"");
    library.put(L"<xmlattr>.type", L"component");
    WriteMaterialProperties(writer, materials, library);
    WriteGroupTree(writer, root, library);
    WriteFaceSets(writer, package_type, root, library);
}

void WriteMaterialProperties(const DetailedXmlWriter& writer,
                             const std::vector<Property>& materials, wptree& library) {
    for (const Property& m : materials) {
        wptree& property = library.add(L"property", L"");
        property.add(L"group", writer.model_name);
        property.add(L"name", Wide(m.name));
        if (m.kind == Property::kIsotropic) {
            AddReal(property, L"conductivity", m.conductivity);
        } else if (m.kind == Property::kAnisotropic) {
            wptree& k = property.add(L"conductivity", L"");
            k.put(L"<xmlattr>.type", L"ortho");
            AddReal(k, L"value_x", m.conductivity_x);
            AddReal(k, L"value_y", m.conductivity_y);
            AddReal(k, L"value_z", m.conductivity_z);
        }
        AddReal(property, L"density", m.density);
        AddReal(property, L"capacity", m.specific_heat);
    }
}

void WriteGroupTree(const DetailedXmlWriter& writer, const Group& group, wptree& parent) {
    wptree& node = parent.add(L"group", L"");
    node.add(L"name", group.name);
    for (const NamedCuboid& c : group.cuboids) {
        // Only the die itself is the heat source; numbered parts such as chip(1) are not.
        WriteCubeComponent(c, node,
                           c.part_name == "chip" ? std::optional<double>(writer.chip_heat)
                                                 : std::nullopt);
    }
    for (const NamedPrism& p : group.prisms) WriteHexaComponent(p, node);
    for (const GroupPtr& child : group.children) WriteGroupTree(writer, *child, node);
}

void WriteCubeComponent(const NamedCuboid& cuboid, wptree& parent, std::optional<double> heat) {
    wptree& component = parent.add(L"component", L"");
    component.put(L"<xmlattr>.type", L"cube");
    component.add(L"version", L"2020");
    component.add(L"name", Wide(cuboid.part_name));
    component.add(L"material", Wide(cuboid.property_name));
    const Cuboid& b = cuboid.box;
    AddPoint(component, L"base", b.x, b.y, b.z);
    AddPoint(component, L"size", b.dx, b.dy, b.dz);
    if (heat) {
        wptree& condition = component.add(L"condition", *heat, RealTranslator(std::locale::classic()));
        condition.put(L"<xmlattr>.type", L"source");
        condition.put(L"<xmlattr>.unit", L"W");
    }
}

void WriteHexaComponent(const NamedPrism& prism, wptree& parent) {
    wptree& component = parent.add(L"component", L"");
    component.put(L"<xmlattr>.type", L"hexa");
    component.add(L"version", L"2020");
    component.add(L"name", Wide(prism.part_name));
    component.add(L"material", Wide(prism.property_name));
    // The corners' own z is not meaningful: the prism spans base_z to base_z + thickness.
    const Prism& p = prism.prism;
    for (int level = 0; level < 2; ++level) {
        const double z = p.base_z + (level == 0 ? 0.0 : p.thickness);
        for (int c = 0; c < 4; ++c) {
            AddPoint(component, L"p" + std::to_wstring(level * 4 + c + 1), p.corner[c].x,
                     p.corner[c].y, z);
        }
    }
}

void WriteFaceSets(const DetailedXmlWriter& writer, const std::wstring& package_type,
                   const Group& root, wptree& library) {
    const bool leaded = IsPackageFamily(package_type, PackageFamily::kQFP);
    const bool balled = IsPackageFamily(package_type, PackageFamily::kBGA);
    if (!leaded && !balled) return;

    // Faces 5 and 6 are a block's bottom and top in the importing tool's numbering.
    wptree& top = library.add(L"faceset", L"");
    top.add(L"name", writer.model_name + L"_T");
    AddFace(top, "mold", 6);

    if (leaded) {
        wptree& bottom = library.add(L"faceset", L"");
        bottom.add(L"name", writer.model_name + L"_B");
        AddFace(bottom, "mold", 5);

        wptree& leads = library.add(L"faceset", L"");
        leads.add(L"name", writer.model_name + L"_L");
        std::vector<std::string> names;
        CollectMountedLeadNames(root, names);
        for (const std::string& name : names) AddFace(leads, name, 5);
    } else {
        wptree& balls = library.add(L"faceset", L"");
        balls.add(L"name", writer.model_name + L"_B");
        std::vector<std::string> names;
        CollectMountedBallNames(root, names);
        for (const std::string& name : names) AddFace(balls, name, 5);
    }
}

void CollectMountedLeadNames(const Group& group, std::vector<std::string>& names) {
    for (const NamedCuboid& c : group.cuboids) {
        if (IsMounted(c.part_name, "outer_lead", c.box.z)) names.push_back(c.part_name);
    }
    for (const NamedPrism& p : group.prisms) {
        if (IsMounted(p.part_name, "outer_lead", p.prism.base_z)) names.push_back(p.part_name);
    }
    for (const GroupPtr& child : group.children) CollectMountedLeadNames(*child, names);
}

void CollectMountedBallNames(const Group& group, std::vector<std::string>& names) {
    for (const NamedCuboid& c : group.cuboids) {
        if (IsMounted(c.part_name, "solder_ball", c.box.z)) names.push_back(c.part_name);
    }
    for (const GroupPtr& child : group.children) CollectMountedBallNames(*child, names);
}

}  // namespace pkg::exporter
