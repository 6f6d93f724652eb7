#include "bench/sop_delphi_case.h"

#include <filesystem>

#include "export/compact_computation.h"
#include "export/solver_grid.h"
#include "export/solver_input.h"
#include "export/surf_register/create_surface_register.h"
#include "models/qfp/qfp_detailed_model.h"

namespace bench {

bool WriteModelInput(const std::string& path, const std::shared_ptr<pkg::DetailedModel>& model,
                     const std::string& package_type, std::uint32_t model_kind, double mesh_scale,
                     std::vector<pkg::surf_register::NodeRegister>* nodes) {
    const pkg::CompactModelRequest r;
    const pkg::GridParameters parameters = pkg::MakeGridParameters(
        pkg::SmallestPartExtents(model->root), r.standard_length_factor_x * mesh_scale,
        r.standard_length_factor_y * mesh_scale, r.standard_length_factor_z * mesh_scale,
        r.threshold_factor_x, r.threshold_factor_y, r.threshold_factor_z);
    std::vector<pkg::GridLine> x, y, z;
    pkg::CellModel cells;
    if (!pkg::BuildSolverGrid(*model, parameters, x, y, z, cells)) return false;
    auto registration = pkg::surf_register::CreateSurfaceRegister(
        model_kind, package_type, model, x, y, z, cells.material_cells, cells.part_cells,
        cells.material_index, cells.part_index);
    if (!registration || !registration->HasRequiredGroups()) return false;
    pkg::SolverInputHeader header;
    header.model_kind = static_cast<int32_t>(model_kind);
    if (model_kind == pkg::surf_register::kTwoResistorModel) {
        header.ramda = r.fluid_thermal_conductivity;
    }
    const std::vector<pkg::surf_register::NodeRegister> list = registration->BuildNodeList();
    if (nodes) *nodes = list;
    return pkg::WriteSolverInput(header, std::filesystem::path(path).wstring(), package_type, x,
                                 y, z, cells.material_cells, cells.material_index,
                                 model->properties, list);
}

bool WriteSopInput(const std::string& path, std::uint32_t model_kind, double mesh_scale) {
    auto model = std::make_shared<pkg::qfp::QFPDetailedModel>(true);
    if (model->Build() != 0) return false;
    return WriteModelInput(path, model, "SOP", model_kind, mesh_scale);
}

}  // namespace bench
