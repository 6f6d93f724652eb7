#include "parts_ui/export_job.h"

#include <algorithm>
#include <array>
#include <locale>
#include <sstream>
#include <utility>
#include <vector>

#include "app/output_view.h"
#include "app/program_settings.h"
#include "parts_ui/property_model.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"
#include "widget/ui_thread.h"

namespace parts_ui {

namespace {

// A cell's value as text; empty for a missing cell or an empty value.
std::wstring CellText(const widget::WTreeItemModel& model, int row, int column) {
    const auto cell = model.root->Child(row, column);
    if (!cell || cell->value.IsEmpty()) return std::wstring();
    if (cell->value.Type() == widget::VT_BSTR) return cell->value.Bstr();
    return cell->value.ChangeType(widget::VT_BSTR).Bstr();
}

int RowCount(const widget::WTreeItemModel& model) {
    return static_cast<int>(model.root->rows.size());
}

// "%g" (six significant digits) with '.' whatever locale the process runs in.
std::wstring FormatG(double value) {
    std::wostringstream out;
    out.imbue(std::locale::classic());
    out.precision(6);
    out << value;
    return out.str();
}

// A per-cent value with one decimal and '.', whatever the process locale.
std::wstring Percent(double value) {
    std::wostringstream out;
    out.imbue(std::locale::classic());
    out.setf(std::ios::fixed);
    out.precision(1);
    out << value;
    return out.str();
}

// `format` with each "%n" (n from 1) replaced by arguments[n - 1], in one pass.
std::wstring FillPlaceholders(const std::wstring& format, const std::vector<std::wstring>& arguments) {
    std::wstring text;
    for (size_t i = 0; i < format.size(); ++i) {
        const wchar_t next = i + 1 < format.size() ? format[i + 1] : L'\0';
        const bool numbered = next >= L'1' && static_cast<size_t>(next - L'1') < arguments.size();
        if (format[i] == L'%' && numbered) {
            text += arguments[next - L'1'];
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}

}  // namespace

std::wstring NetworkFitText(const pkg::NetworkFitError& fit) {
    if (!fit.Known()) return std::wstring();
    return FillPlaceholders(resources::LoadText(resources::IDS_NETWORK_FIT_ERROR),
                            {Percent(fit.worst_percent), std::to_wstring(fit.worst_case),
                             Percent(fit.rms_percent)});
}

std::wstring NetworkFitWarning(const pkg::NetworkFitError& fit) {
    if (!fit.OverBound()) return std::wstring();
    // The warning names its numbers too: it also stands alone in the output pane.
    return FillPlaceholders(resources::LoadText(resources::IDS_NETWORK_FIT_OVER_BOUND),
                            {Percent(fit.worst_percent), std::to_wstring(fit.worst_case),
                             FormatG(pkg::NetworkFitError::kBoundPercent)});
}

bool ExportServices::ValidatePart(const std::wstring&, std::wstring&) { return true; }

bool SettingsExportServices::ValidatePart(const std::wstring& partPath, std::wstring& message) {
    const auto package = settings_.LoadDetailedModelByType(partPath);
    return !package || ValidatePartParameters(*package, message);
}

bool SettingsExportServices::ExportDetailed(const std::wstring& partPath,
                                            const std::wstring& cabinetPath) {
    return settings_.ExportDetailedModelByType(partPath, cabinetPath, &last_);
}

bool SettingsExportServices::ExportSimplified(const std::wstring& partPath,
                                              const std::wstring& cabinetPath) {
    return settings_.ExportSimplifiedModelByType(partPath, cabinetPath, &last_);
}

bool SettingsExportServices::BatchCompute(int code, const std::wstring& partPath,
                                          const std::wstring& cabinetPath,
                                          pkg::NodePairList& links, double* values) {
    return settings_.BatchComputePart(code, partPath, cabinetPath, links, values, &last_, &fit_);
}

std::wstring SettingsExportServices::LastFailure() { return RuleText(last_); }

std::shared_ptr<widget::WTreeItemModel> MakeProgressModel(const widget::WTreeItemModel& exportList) {
    auto progress = std::make_shared<widget::WTreeItemModel>();
    progress->headers = {resources::LoadText(resources::IDS_PART_NAME), resources::LoadText(resources::IDS_PROGRESS_STATE),
                         resources::LoadText(resources::IDS_PROGRESS_MESSAGE)};
    progress->root->columnCount = 3;
    const std::wstring waiting = resources::LoadText(resources::IDS_STATE_WAITING);
    for (int r = 0; r < RowCount(exportList); ++r) {
        const auto source = exportList.root->Child(r, 0);
        progress->AppendRow(std::make_shared<widget::WTreeItem>(source ? source->text : L""));
        progress->root->Child(r, kProgressState)->value = widget::Variant::FromBstr(waiting);
        progress->root->Child(r, kProgressMessage)->value = widget::Variant::FromBstr(L"");
    }
    return progress;
}

std::wstring JoinCabinetPath(const std::wstring& destination, const std::wstring& outputName) {
    std::wstring path = destination;
    const bool separated = destination.empty() || destination.back() == L'/' ||
                           (!outputName.empty() && outputName.front() == L'/');
    if (!separated) path += L'/';
    return path + outputName + L".cab";
}

std::wstring ResistanceMessage(int code, const double* values, const pkg::NodePairList& links) {
    if (code == 0) return L"Resistance top=" + FormatG(values[0]) + L", bottom=" + FormatG(values[1]);
    if (code == 1) {
        return L"Resistance top=" + FormatG(values[0]) + L", bottom=" + FormatG(values[1]) +
               L", lead=" + FormatG(values[2]);
    }
    std::wstring message = L"Resistance";
    // A link the fit found adiabatic has no resistance, which a 0 would misstate.
    const std::wstring adiabatic = resources::LoadText(resources::IDS_NETWORK_ADIABATIC);
    // The value array holds 64 entries, so no more links than that can have a value.
    const size_t count = std::min<size_t>(links.size(), 64);
    for (size_t i = 0; i < count; ++i) {
        message += L" ," + links[i].first + L"_" + links[i].second + L"=" +
                   (values[i] == 0.0 ? adiabatic : FormatG(values[i]));
    }
    return message;
}

ExportJob::ExportJob(ExportJobSource source, std::shared_ptr<widget::WTreeItemModel> progress,
                     std::shared_ptr<ExportServices> services, wxEvtHandler* uiThread)
    : language(resources::ThreadLanguage()),
      source_(std::move(source)),
      progress_(std::move(progress)),
      services_(std::move(services)),
      uiThread_(uiThread) {}

void ExportJob::operator()() {
    resources::SetThreadLanguage(language);
    const std::shared_ptr<widget::WTreeItemModel> exportList = source_.exportList;
    if (!exportList || !services_) return;
    for (int r = 0; r < RowCount(*exportList); ++r) {
        std::wstring message;
        std::wstring reason;
        bool finished = false;
        try {
            WriteProgress(r, kProgressState, resources::LoadText(resources::IDS_STATE_RUNNING));
            finished = RunRow(r, message, reason);
        } catch (...) {
            finished = false;
            reason = resources::LoadText(resources::IDS_RUN_UNEXPECTED_ERROR);
        }
        try {
            if (finished) {
                // A finished row keeps its resistance line first, which the report reads.
                if (!reason.empty()) message += message.empty() ? reason : L" " + reason;
                WriteProgress(r, kProgressState, resources::LoadText(resources::IDS_STATE_FINISHED));
            } else {
                if (reason.empty()) reason = resources::LoadText(resources::IDS_RUN_UNEXPECTED_ERROR);
                message = reason;
                WriteProgress(r, kProgressState, resources::LoadText(resources::IDS_STATE_FAILED));
            }
            if (!message.empty()) WriteProgress(r, kProgressMessage, message);
            if (!reason.empty()) LogReason(r, reason);
        } catch (...) {
            // A progress cell that cannot take its text keeps the one it had.
        }
    }
}

bool ExportJob::RunRow(int r, std::wstring& message, std::wstring& reason) {
    const widget::WTreeItemModel& list = *source_.exportList;
    const std::wstring partPath = CellText(list, r, 0);
    const std::wstring kind = CellText(list, r, 2);
    const std::wstring cabinet = JoinCabinetPath(source_.destination, CellText(list, r, 3));
    const ExportKindTexts& kinds = source_.kinds;

    int code = -1;
    if (kind == kinds.twoResistor) {
        code = 0;
    } else if (kind == kinds.threeResistor) {
        code = 1;
    } else if (kind == kinds.delphi) {
        code = 2;
    } else if (kind != kinds.simple && kind != kinds.detail) {
        reason = resources::LoadText(resources::IDS_RUN_UNKNOWN_KIND);
        return false;
    }
    // A part saved with values the checks refuse is never exported.
    if (!services_->ValidatePart(partPath, reason)) return false;
    reason.clear();
    bool done = false;
    pkg::NodePairList links;
    std::array<double, 64> values{};
    if (kind == kinds.simple) {
        done = services_->ExportSimplified(partPath, cabinet);
    } else if (kind == kinds.detail) {
        done = services_->ExportDetailed(partPath, cabinet);
    } else {
        done = services_->BatchCompute(code, partPath, cabinet, links, values.data());
        if (done) message = ResistanceMessage(code, values.data(), links);
    }
    reason = services_->LastFailure();
    if (done && code == 2) {
        // The estimate follows the resistances; a network over the bound is a warning,
        // which goes to the output pane as the row's reason too.
        const pkg::NetworkFitError fit = services_->LastFitError();
        const std::wstring estimate = NetworkFitText(fit);
        if (!estimate.empty()) message += L" " + estimate;
        const std::wstring warning = NetworkFitWarning(fit);
        if (!warning.empty()) reason = reason.empty() ? warning : warning + L" " + reason;
    }
    return done;
}

void ExportJob::LogReason(int row, const std::wstring& reason) {
    // The progress model and the output pane are both read and written on the UI thread.
    widget::RunOnUiThread(uiThread_, [this, row, &reason] {
        const auto name = progress_->root->Child(row, kProgressPartName);
        LogToOutput("%s: %s", name ? name->text : std::wstring(), reason);
    });
}

void ExportJob::WriteProgress(int row, int column, const std::wstring& text) {
    widget::RunOnUiThread(uiThread_, [this, row, column, &text] {
        progress_->SetData(widget::WModelIndex{column, row, progress_.get()},
                           widget::Variant::FromBstr(text));
    });
}

}  // namespace parts_ui
