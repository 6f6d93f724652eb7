#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "parts_ui/export_job.h"
#include "widget/tree_item.h"

namespace export_test {

struct ExportRow {
    std::wstring partName;
    std::wstring partPath;
    std::wstring kind;
    std::wstring outputName;
};

// An export list as the export list dialog keeps it.
inline std::shared_ptr<widget::WTreeItemModel> MakeExportList(const std::vector<ExportRow>& rows) {
    auto list = std::make_shared<widget::WTreeItemModel>();
    list->headers = {L"Part name", L"Type", L"Modeling", L"Output"};
    list->root->columnCount = 4;
    for (const ExportRow& row : rows) {
        auto first = std::make_shared<widget::WTreeItem>(row.partName);
        first->value = widget::Variant::FromBstr(row.partPath);
        list->AppendRow(first);
        const int r = static_cast<int>(list->root->rows.size()) - 1;
        list->root->Child(r, 1)->value = widget::Variant::FromBstr(L"PBGA");
        list->root->Child(r, 2)->value = widget::Variant::FromBstr(row.kind);
        list->root->Child(r, 3)->value = widget::Variant::FromBstr(row.outputName);
    }
    return list;
}

inline parts_ui::ExportKindTexts EnglishKinds() {
    return {L"Simple", L"Detail", L"Two-resistor model", L"Three-resistor model", L"DELPHI model"};
}

inline std::wstring Cell(const widget::WTreeItemModel& model, int row, int column) {
    const auto item = model.root->Child(row, column);
    if (!item) return L"<none>";
    return item->value.Type() == widget::VT_BSTR ? item->value.Bstr() : L"";
}

// A service whose every call is answered by `answer`, given the call's kind ("detail",
// "simple" or the compact code as a digit), part path and cabinet path.
class ScriptedServices : public parts_ui::ExportServices {
public:
    using Answer = std::function<bool(const std::wstring& call, const std::wstring& part,
                                      const std::wstring& cabinet, pkg::NodePairList& links,
                                      double* values)>;
    explicit ScriptedServices(Answer answer) : answer_(std::move(answer)) {}

    bool ExportDetailed(const std::wstring& part, const std::wstring& cabinet) override {
        pkg::NodePairList none;
        return answer_(L"detail", part, cabinet, none, nullptr);
    }
    bool ExportSimplified(const std::wstring& part, const std::wstring& cabinet) override {
        pkg::NodePairList none;
        return answer_(L"simple", part, cabinet, none, nullptr);
    }
    bool BatchCompute(int code, const std::wstring& part, const std::wstring& cabinet,
                      pkg::NodePairList& links, double* values) override {
        return answer_(std::to_wstring(code), part, cabinet, links, values);
    }
    pkg::NetworkFitError LastFitError() override { return fit; }

    // What every DELPHI call reports as its network's error.
    pkg::NetworkFitError fit;

private:
    Answer answer_;
};

}  // namespace export_test
