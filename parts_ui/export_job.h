#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "export/export_runs.h"
#include "widget/tree_item.h"

class ProgramSettings;
class wxEvtHandler;

namespace pkg {
class SemiconductorPackage;
}

namespace parts_ui {

// Runs the checks that applying the grid runs (the family's validator) on a loaded part's
// parameters, with no message box: false with the check's message ("Specify %1 greater
// than 0." with %1 filled) in `message`.
bool ValidatePartParameters(const pkg::SemiconductorPackage& package, std::wstring& message);

// The three export services a run calls for its rows; the program's settings by default,
// scripted in tests. A service may return false or throw: either ends its row "Failed".
class ExportServices {
public:
    virtual ~ExportServices() = default;
    // Checks the part's parameters before a row runs; false with the reason in `message`.
    // A part that does not load passes: its run then fails on its own.
    virtual bool ValidatePart(const std::wstring& partPath, std::wstring& message);
    virtual bool ExportDetailed(const std::wstring& partPath, const std::wstring& cabinetPath) = 0;
    virtual bool ExportSimplified(const std::wstring& partPath,
                                  const std::wstring& cabinetPath) = 0;
    // `values` holds 64 doubles.
    virtual bool BatchCompute(int code, const std::wstring& partPath,
                              const std::wstring& cabinetPath, pkg::NodePairList& links,
                              double* values) = 0;
    // Why the last export call failed, or what a successful one could not do (a list file
    // not written), in the thread's language; empty when there is nothing to say.
    virtual std::wstring LastFailure() { return std::wstring(); }
    // How well the network of the last DELPHI computation reproduces its cases; no
    // estimate after any other call.
    virtual pkg::NetworkFitError LastFitError() { return pkg::NetworkFitError(); }
};

// The services as operations of the program settings, which must outlive the run.
class SettingsExportServices : public ExportServices {
public:
    explicit SettingsExportServices(const ProgramSettings& settings) : settings_(settings) {}
    bool ValidatePart(const std::wstring& partPath, std::wstring& message) override;
    bool ExportDetailed(const std::wstring& partPath, const std::wstring& cabinetPath) override;
    bool ExportSimplified(const std::wstring& partPath, const std::wstring& cabinetPath) override;
    bool BatchCompute(int code, const std::wstring& partPath, const std::wstring& cabinetPath,
                      pkg::NodePairList& links, double* values) override;
    std::wstring LastFailure() override;
    pkg::NetworkFitError LastFitError() override { return fit_; }

private:
    const ProgramSettings& settings_;
    pkg::RunFailure last_;
    pkg::NetworkFitError fit_;
};

// The modeling-type texts of the export list, in the UI language it was built in.
struct ExportKindTexts {
    std::wstring simple;
    std::wstring detail;
    std::wstring twoResistor;
    std::wstring threeResistor;
    std::wstring delphi;
};

// What a run reads of the export list: its rows (column 0 value = part path, column 2 =
// modeling-type text, column 3 = output name without extension), the kind texts and the
// export destination.
struct ExportJobSource {
    std::shared_ptr<widget::WTreeItemModel> exportList;
    ExportKindTexts kinds;
    std::wstring destination;
};

// Columns of the progress model.
constexpr int kProgressPartName = 0;
constexpr int kProgressState = 1;
constexpr int kProgressMessage = 2;

// One progress row per export row, named by the row's column-0 text, in state "Waiting"
// with an empty message; headers and texts in the calling thread's language.
std::shared_ptr<widget::WTreeItemModel> MakeProgressModel(const widget::WTreeItemModel& exportList);

// The destination joined with the output name by one '/' (none when the destination is
// empty or ends in '/', or the name begins with '/'), then ".cab". Only '/' separates.
std::wstring JoinCabinetPath(const std::wstring& destination, const std::wstring& outputName);

// The message of a finished compact row, numbers as "%g" in the C locale whatever the
// process locale: code 0 top and bottom, code 1 with lead, code 2 one piece per link, a
// link without a resistance (0) shown as adiabatic in the thread's language.
std::wstring ResistanceMessage(int code, const double* values, const pkg::NodePairList& links);

// A DELPHI network's error estimate as a sentence in the thread's language (per cent with
// one decimal); empty for no estimate.
std::wstring NetworkFitText(const pkg::NetworkFitError& fit);
// The warning of a network over the bound, with its worst case, in the thread's language;
// empty otherwise.
std::wstring NetworkFitWarning(const pkg::NetworkFitError& fit);

// The export job: exports every row of the export list in turn and shows each row's state
// and message in the progress model. It runs on a worker thread; every progress write is
// handed to the UI thread through `uiThread` and waited for, so the progress model and its
// views are touched there only. A row whose part fails the checks ends "Failed" with the
// check's message and is not exported; a row whose service fails or throws ends "Failed"
// with the reason; the run goes on either way, and nothing escapes the job as an exception.
// Every reason also goes to the output pane as "<part name>: <reason>".
class ExportJob {
public:
    ExportJob(ExportJobSource source, std::shared_ptr<widget::WTreeItemModel> progress,
              std::shared_ptr<ExportServices> services, wxEvtHandler* uiThread);

    void operator()();

    // The string-table language the worker takes: that of the thread that made the job.
    std::uint32_t language;

private:
    // Runs row r: true when it finished, with its resistance line in `message`; the reason
    // of a failure (or of a finished row's missing list file) in `reason`.
    bool RunRow(int row, std::wstring& message, std::wstring& reason);
    void WriteProgress(int row, int column, const std::wstring& text);
    void LogReason(int row, const std::wstring& reason);

    ExportJobSource source_;
    std::shared_ptr<widget::WTreeItemModel> progress_;
    std::shared_ptr<ExportServices> services_;
    wxEvtHandler* uiThread_;
};

}  // namespace parts_ui
