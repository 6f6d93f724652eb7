#include "export/compact_export.h"

#include <exception>
#include <filesystem>

#include "export/exporter/cab_exporter.h"
#include "export/exporter/compact_xml_writer.h"
#include "export/reg_link_manager/registance_link_manager.h"
#include "export/run_failure.h"
#include "export/surf_register/create_surface_register.h"
#include "models/bga/bga_detailed_model.h"
#include "models/package_types.h"
#include "models/qfp/qfp.h"
#include "platform/temp_files.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"

namespace pkg {

namespace {

bool IsBallGridArray(const std::wstring& package_type) {
    return IsPackageFamily(package_type, PackageFamily::kBGA);
}

// Builds the compact model library document; false when nothing applies.
bool BuildCompactTree(const std::wstring& package_type, uint32_t model_kind,
                      const DetailedModel& model, const double* values, const std::wstring& name,
                      exporter::WideTree& tree) {
    const bool bga = IsBallGridArray(package_type);
    const auto* bga_model = dynamic_cast<const bga::BGADetailedModel*>(&model);
    const auto* qfp_model = dynamic_cast<const qfp::QFP*>(&model);
    if (bga ? !bga_model : !qfp_model) return false;

    switch (model_kind) {
        case surf_register::kTwoResistorModel:
            if (bga) {
                exporter::WriteBgaTwoResistorModelXml(*bga_model, values, name, tree);
            } else {
                exporter::WriteTwoResistorModelXml(*qfp_model, model.root, values, name, tree);
            }
            return true;
        case surf_register::kThreeResistorModel:
            if (bga) {  // a ball-grid array has no three-resistor model
                ReportRunFailure(resources::IDS_RUN_NO_COMPACT_MODEL);
                return false;
            }
            exporter::WriteThreeResistorModelXml(*qfp_model, values, name, tree);
            return true;
        case surf_register::kDelphiModel: {
            auto links = reg_link_manager::CreateRegistanceLinkManager(
                platform::WideToUtf8(package_type), &model);
            if (!links) return false;
            if (bga) {
                exporter::WriteBgaDelphiModelXml(*bga_model, values, *links, name, tree);
            } else {
                exporter::WriteDelphiModelXml(*qfp_model, values, *links, name, tree);
            }
            return true;
        }
        default:
            return false;
    }
}

}  // namespace

bool ExportModelFiles(const std::wstring& package_type, uint32_t model_kind,
                      const DetailedModel& model, const double* values, const std::wstring& stem,
                      const std::wstring& base) {
    try {
        exporter::WideTree tree;
        if (!BuildCompactTree(package_type, model_kind, model, values, stem, tree)) return false;

        const std::wstring folder = exporter::MakeTempExportFolder();
        if (folder.empty()) return false;
        // The base has no extension of its own: a dot in the output name starts one here,
        // so the entry keeps only what comes before the name's last dot.
        const std::wstring entry_stem =
            platform::PathToWide(platform::PathFromWide(base).stem());
        const std::wstring xml_path = folder + entry_stem + L".xml";

        bool ok = false;
        try {
            ok = exporter::WriteUtf8XmlFile(tree, xml_path) &&
                 exporter::CreateCabinet(base + L".cab", {xml_path});
        } catch (const std::exception&) {
            ok = false;
        }
        platform::RemoveQuietly(platform::PathFromWide(xml_path));
        platform::RemoveQuietly(platform::PathFromWide(folder));
        return ok;
    } catch (const std::exception&) {
        return false;
    }
}

bool ComputeAndExportCompactModel(CompactModelRequest& request, const std::wstring& package_type,
                                  uint32_t model_kind, const std::shared_ptr<DetailedModel>& model,
                                  const std::wstring& cabinet_path) {
    try {
        request.values.fill(0.0);
        request.fit_error = NetworkFitError();
        const std::wstring list_file_path = cabinet_path + L".l";
        const ListFileWatch list(request.list_file_output ? list_file_path : std::wstring());
        if (!ComputePartResistances(request, package_type, model_kind, model,
                                    request.values.data(), list_file_path, &request.fit_error)) {
            return false;
        }
        const std::filesystem::path cabinet = platform::PathFromWide(cabinet_path);
        const std::wstring stem = platform::PathToWide(cabinet.stem());
        const std::wstring base = platform::PathToWide(cabinet.parent_path() / cabinet.stem());
        if (!ExportModelFiles(package_type, model_kind, *model, request.values.data(), stem,
                              base)) {
            return false;
        }
        // Only now is there a new cabinet that an older list file could be taken for.
        list.ReportUnwritten();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace pkg
