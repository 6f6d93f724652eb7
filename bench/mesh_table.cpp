// Mesh table for the user's manual: the default QFP, SOP and PBGA exported as two-resistor
// models with the standard-length factors of the settings divided by 0.5, 1, 1.5 and 2 (the
// thresholds stay at their defaults), as the export worker runs one row. Writes the solver
// grid's cells, the two resistances and the wall time of each export as an HTML table in
// English and in Japanese: FOLDER/eng.html and FOLDER/jpn.html. scripts/mesh-table pastes
// them into the manual.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "export/export_runs.h"
#include "export/solver_grid.h"
#include "models/detailed_model.h"
#include "models/package_types.h"
#include "models/part_loaders.h"
#include "platform/temp_files.h"
#include "platform/wide_string.h"
#include "tests/models/default_parts.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kRefinements[] = {0.5, 1.0, 1.5, 2.0};
constexpr const char* kTypes[] = {"QFP", "SOP", "PBGA"};

struct Texts {
    const char* caption;
    const char* package;
    const char* refinement;
    const char* factors;
    const char* cells;
    const char* top;
    const char* bottom;
    const char* seconds;
    const char* defaults;
    const char* failed;
};

constexpr Texts kEnglish = {
    "Two-resistor values of the default parts by mesh refinement",
    "Package", "Refinement", "Standard length x, y, z", "Cells",
    "top (K/W)", "bottom (K/W)", "Export (s)", "default", "export failed"};
constexpr Texts kJapanese = {
    "既定パーツの2抵抗モデルの値とメッシュの細かさ",
    "パッケージ", "細分化", "分割幅 x, y, z", "セル数",
    "top (K/W)", "bottom (K/W)", "出力時間 (秒)", "既定", "出力失敗"};

// Cells of the solver grid as the compact computation makes it: the model built (a BGA
// with its enclosing air), gridded with the same factors. 0 when it does not build.
unsigned long long GridCells(const std::string& type, const std::wstring& part,
                             const pkg::ExportRunSettings& settings) {
    std::shared_ptr<pkg::DetailedModel> model;
    if (pkg::IsPackageFamily(type, pkg::PackageFamily::kBGA)) {
        auto bga = pkg::LoadBGADetailedModel(part);
        if (!bga || bga->BuildWithAir() != 0) return 0;
        model = bga;
    } else {
        auto qfp = pkg::LoadQFPDetailedModel(part);
        if (!qfp || qfp->Build() != 0) return 0;
        model = qfp;
    }
    const pkg::GridParameters parameters = pkg::MakeGridParameters(
        pkg::SmallestPartExtents(model->root), settings.standard_length[0],
        settings.standard_length[1], settings.standard_length[2], settings.threshold[0],
        settings.threshold[1], settings.threshold[2]);
    std::vector<pkg::GridLine> x, y, z;
    pkg::CellModel cells;
    if (!pkg::BuildSolverGrid(*model, parameters, x, y, z, cells)) return 0;
    return static_cast<unsigned long long>(cells.material_cells.size());
}

// A value with its change against the default row, as "12.3 (+1.2%)".
std::string WithChange(double value, double reference, bool is_reference) {
    char text[64];
    if (is_reference || reference == 0.0) {
        std::snprintf(text, sizeof text, "%.4g", value);
    } else {
        std::snprintf(text, sizeof text, "%.4g (%+.1f%%)", value,
                      100.0 * (value - reference) / reference);
    }
    return text;
}

struct Row {
    const char* type;
    double refinement;
    double factors[3];
    unsigned long long cells;
    bool done;
    double values[2];
    double seconds;
};

void PrintTable(std::FILE* out, const Texts& t, const std::vector<Row>& rows) {
    std::fprintf(out, "<table class=\"mesh\">\n<caption>%s</caption>\n", t.caption);
    std::fprintf(out,
                 "<tr><th>%s</th><th>%s</th><th>%s</th><th>%s</th><th>%s</th><th>%s</th>"
                 "<th>%s</th></tr>\n",
                 t.package, t.refinement, t.factors, t.cells, t.top, t.bottom, t.seconds);
    for (const Row& row : rows) {
        const Row* reference = nullptr;
        for (const Row& other : rows) {
            if (std::strcmp(other.type, row.type) == 0 && other.refinement == 1.0 && other.done) {
                reference = &other;
            }
        }
        const bool is_default = row.refinement == 1.0;
        std::fprintf(out,
                     "<tr><td>%s</td><td>%g&times;%s%s%s</td><td>%.3g, %.3g, %.3g</td>"
                     "<td>%llu</td>",
                     row.type, row.refinement, is_default ? " (" : "", is_default ? t.defaults : "",
                     is_default ? ")" : "", row.factors[0], row.factors[1], row.factors[2],
                     row.cells);
        if (!row.done) {
            std::fprintf(out, "<td colspan=\"3\">%s</td></tr>\n", t.failed);
            continue;
        }
        const bool own = reference == nullptr || &row == reference;
        std::fprintf(out, "<td>%s</td><td>%s</td><td>%.2f</td></tr>\n",
                     WithChange(row.values[0], own ? 0.0 : reference->values[0], own).c_str(),
                     WithChange(row.values[1], own ? 0.0 : reference->values[1], own).c_str(),
                     row.seconds);
    }
    std::fprintf(out, "</table>\n");
}

bool WriteTable(const fs::path& file, const Texts& t, const std::vector<Row>& rows) {
    std::FILE* out = std::fopen(file.c_str(), "w");
    if (out == nullptr) return false;
    PrintTable(out, t, rows);
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mesh_table FOLDER\n");
        return 2;
    }
    const fs::path out_folder = argv[1];
    const fs::path root = platform::MakeUniqueDirectory(platform::TempDirectory(), "mesh_table");
    if (root.empty()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    int status = 0;
    std::vector<Row> rows;
    for (const char* type : kTypes) {
        const fs::path folder = root / "parts" / type;
        fs::create_directories(folder);
        const fs::path file = folder / "part.qvx";
        if (!default_parts::WriteDefaultPart(type, file)) {
            std::fprintf(stderr, "%s: default part not written\n", type);
            status = 1;
            continue;
        }
        const std::wstring part = platform::PathToWide(file);
        const std::wstring cabinet = platform::PathToWide(root / (std::string(type) + ".cab"));
        for (double refinement : kRefinements) {
            pkg::ExportRunSettings settings;
            settings.parts_folder = platform::PathToWide(root / "parts") + L"/";
            for (double& factor : settings.standard_length) factor /= refinement;
            pkg::NodePairList links;
            double values[64] = {};
            const Clock::time_point start = Clock::now();
            const bool done = pkg::BatchComputePart(settings, 0, part, cabinet, links, values);
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            rows.push_back({type,
                            refinement,
                            {settings.standard_length[0], settings.standard_length[1],
                             settings.standard_length[2]},
                            GridCells(type, part, settings),
                            done,
                            {values[0], values[1]},
                            seconds});
            std::fprintf(stderr, "%s x%g: %s, %.2f s\n", type, refinement,
                         done ? "done" : "failed", seconds);
            if (!done) status = 1;
        }
    }
    fs::remove_all(root);
    if (!WriteTable(out_folder / "eng.html", kEnglish, rows) ||
        !WriteTable(out_folder / "jpn.html", kJapanese, rows)) {
        std::fprintf(stderr, "cannot write the tables into %s\n", out_folder.c_str());
        return 1;
    }
    return status;
}
