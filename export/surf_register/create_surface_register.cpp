#include "export/surf_register/create_surface_register.h"

#include "export/surf_register/delphi_reg_model.h"
#include "export/surf_register/delphi_reg_model_bga.h"
#include "export/surf_register/two_three_reg_model.h"
#include "models/package_types.h"

namespace pkg::surf_register {

namespace {

bool IsBallGridArray(const std::string& type) {
    return IsPackageFamily(type, PackageFamily::kBGA);
}

// DELPHI networks: the lead-frame types get registrations of their own (leads on four
// sides or on two), the ball grid arrays one per ball layout (0 full array, 1 peripheral
// rows, 2 peripheral rows and centre block) of a BGA detailed model, and every other type
// or layout none.
std::shared_ptr<SurfaceRegister> CreateDelphiSurfaceRegister(
    const std::string& package_type, const std::shared_ptr<DetailedModel>& model,
    std::vector<GridLine>& x_lines, std::vector<GridLine>& y_lines, std::vector<GridLine>& z_lines,
    CellGrid& material_cells, CellGrid& part_cells, NameIndexMap& material_index,
    NameIndexMap& part_index) {
    const PackageType* type = FindPackageType(package_type);
    if (type != nullptr && type->family == PackageFamily::kQFP &&
        type->Has(kFourSidedLeads)) {
        return std::make_shared<SurfaceRegister_DelphiModel>(
            std::move(material_cells), std::move(part_cells), std::move(material_index),
            std::move(part_index));
    }
    if (type != nullptr && type->family == PackageFamily::kQFP) {
        return std::make_shared<SurfaceRegister_DelphiModelSOP>(
            std::move(material_cells), std::move(part_cells), std::move(material_index),
            std::move(part_index));
    }
    if (!IsBallGridArray(package_type)) return nullptr;
    auto bga_model = std::dynamic_pointer_cast<bga::BGADetailedModel>(model);
    if (!bga_model) return nullptr;
    switch (bga_model->solder_ball.layout) {
    case 0:
        return std::make_shared<SurfaceRegister_DelphiModel_BGA_full>(
            std::move(material_cells), std::move(part_cells), std::move(material_index),
            std::move(part_index), std::move(bga_model), std::move(x_lines), std::move(y_lines),
            std::move(z_lines));
    case 1:
        return std::make_shared<SurfaceRegister_DelphiModel_BGA_out>(
            std::move(material_cells), std::move(part_cells), std::move(material_index),
            std::move(part_index), std::move(bga_model), std::move(x_lines), std::move(y_lines),
            std::move(z_lines));
    case 2:
        return std::make_shared<SurfaceRegister_DelphiModel_BGA_outcenter>(
            std::move(bga_model), std::move(x_lines), std::move(y_lines), std::move(z_lines),
            std::move(material_cells), std::move(part_cells), std::move(material_index),
            std::move(part_index));
    default:
        return nullptr;
    }
}

}  // namespace

std::shared_ptr<SurfaceRegister> CreateSurfaceRegister(
    uint32_t model_kind, std::string package_type, std::shared_ptr<DetailedModel> model,
    std::vector<GridLine> x_lines, std::vector<GridLine> y_lines, std::vector<GridLine> z_lines,
    CellGrid material_cells, CellGrid part_cells, NameIndexMap material_index,
    NameIndexMap part_index) {
    switch (model_kind) {
    case kTwoResistorModel:
        if (IsBallGridArray(package_type)) {
            return std::make_shared<SurfaceRegister_TwoRegModel_BGA>(
                std::move(material_cells), std::move(part_cells), std::move(material_index),
                std::move(part_index));
        }
        return std::make_shared<SurfaceRegister_TwoThreeRegModel>(
            std::move(material_cells), std::move(part_cells), std::move(material_index),
            std::move(part_index));
    case kThreeResistorModel:
        return std::make_shared<SurfaceRegister_TwoThreeRegModel>(
            std::move(material_cells), std::move(part_cells), std::move(material_index),
            std::move(part_index));
    case kDelphiModel:
        return CreateDelphiSurfaceRegister(package_type, model, x_lines, y_lines, z_lines,
                                           material_cells, part_cells, material_index,
                                           part_index);
    default:
        return nullptr;
    }
}

}  // namespace pkg::surf_register
