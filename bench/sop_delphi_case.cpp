#include "bench/sop_delphi_case.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "export/compact_computation.h"
#include "export/solver_grid.h"
#include "export/solver_input.h"
#include "export/surf_register/create_surface_register.h"
#include "models/qfp/qfp_detailed_model.h"
#include "solver/resist_model.h"
#include "solver/rst_main.h"

namespace bench {

namespace {

// Builds and grids the default SOP with the default mesh factors and writes its DELPHI
// input to `path`; false when any step fails.
bool WriteSopDelphiInput(const std::string& path) {
    auto model = std::make_shared<pkg::qfp::QFPDetailedModel>(true);
    if (model->Build() != 0) return false;
    const pkg::CompactModelRequest r;
    const pkg::GridParameters parameters =
        pkg::MakeGridParameters(pkg::SmallestPartExtents(model->root), r.standard_length_factor_x,
                                r.standard_length_factor_y, r.standard_length_factor_z,
                                r.threshold_factor_x, r.threshold_factor_y, r.threshold_factor_z);
    std::vector<pkg::GridLine> x, y, z;
    pkg::CellModel cells;
    if (!pkg::BuildSolverGrid(*model, parameters, x, y, z, cells)) return false;
    const auto& grid = cells.material_cells;
    std::printf("  grid %zu x %zu x %zu = %zu cells\n", grid.nx(), grid.ny(), grid.nz(),
                grid.size());

    auto registration = pkg::surf_register::CreateSurfaceRegister(
        pkg::surf_register::kDelphiModel, "SOP", model, x, y, z, cells.material_cells,
        cells.part_cells, cells.material_index, cells.part_index);
    if (!registration || !registration->HasRequiredGroups()) return false;
    pkg::SolverInputHeader header;
    header.model_kind = static_cast<int32_t>(pkg::surf_register::kDelphiModel);
    return pkg::WriteSolverInput(header, std::filesystem::path(path).wstring(), "SOP", x, y, z,
                                 cells.material_cells, cells.material_index, model->properties,
                                 registration->BuildNodeList());
}

double TimeOnThreads(const std::string& path, unsigned threads) {
    resist_model::SetStageThreads(threads);
    int count = 0;
    char* names = nullptr;
    double* values = nullptr;
    const auto start = std::chrono::steady_clock::now();
    const int status = resist_model::computeResistModel(path.c_str(), &count, &names, &values);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (status != 0) std::printf("  computation failed with status %d\n", status);
    resist_model::freeResults(&names, &values);
    return seconds;
}

}  // namespace

void RunSopDelphiCase() {
    std::printf("\nDefault SOP, DELPHI input written by the export code\n");
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("zentrik_sop_bench_" + std::to_string(getpid()) + ".in"))
                                 .string();
    if (!WriteSopDelphiInput(path)) {
        std::printf("  input not written\n");
        std::filesystem::remove(path);
        return;
    }
    const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
    const double one = TimeOnThreads(path, 1);
    const double all = TimeOnThreads(path, hardware);
    std::printf("  whole computation: %.3f s on 1 thread, %.3f s on %u threads (%.2fx)\n", one, all,
                hardware, one / all);
    resist_model::SetStageThreads(0);
    std::filesystem::remove(path);
}

}  // namespace bench
