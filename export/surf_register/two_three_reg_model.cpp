#include "export/surf_register/two_three_reg_model.h"

namespace pkg::surf_register {

std::vector<NodeRegister> SurfaceRegister_TwoRegModel_BGA::BuildNodeList() const {
    std::vector<NodeRegister> nodes;
    nodes.reserve(3);
    nodes.emplace_back("TOP");
    AppendTopPlane(nodes.back());
    nodes.emplace_back("LEAD");
    AppendBottomPlane(nodes.back());
    nodes.emplace_back("CHIP");
    AppendVolume(nodes.back(), MaterialIndex("chip"));
    return nodes;
}

bool SurfaceRegister_TwoRegModel_BGA::HasRequiredGroups() const {
    return HasMaterials({"chip", "mold", "solder_ball", "air"});
}

std::vector<NodeRegister> SurfaceRegister_TwoThreeRegModel::BuildNodeList() const {
    const std::optional<int32_t> mold = MaterialIndex("mold");
    // Outer leads count only when the package has them as materials of their own.
    std::vector<int32_t> leads;
    for (const char* name : {"lead", "outer_lead(left_right)", "outer_lead(top_bottom)"}) {
        if (const auto index = MaterialIndex(name)) leads.push_back(*index);
    }

    std::vector<NodeRegister> nodes;
    nodes.reserve(4);
    nodes.emplace_back("TOP");
    AppendTopOf(nodes.back(), mold);
    nodes.emplace_back("BOTTOM");
    AppendDownwardFaces(nodes.back(), mold);
    nodes.emplace_back("LEAD");
    AppendFeet(nodes.back(), leads);
    nodes.emplace_back("CHIP");
    AppendVolume(nodes.back(), MaterialIndex("chip"));
    return nodes;
}

bool SurfaceRegister_TwoThreeRegModel::HasRequiredGroups() const {
    return HasMaterials({"chip", "mold", "lead"});
}

}  // namespace pkg::surf_register
