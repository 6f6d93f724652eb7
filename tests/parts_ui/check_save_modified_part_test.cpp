#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/uiaction.h>

#include "app/message_box.h"
#include "app/program_settings.h"
#include "models/qfp/qfp_detailed_model.h"
#include "parts_ui/part_file_operations.h"
#include "parts_ui/part_property_grid_ctrl.h"
#include "parts_ui/properties_view.h"
#include "parts_ui/qfp_property_model.h"
#include "tests/parts_ui/grid_test_util.h"
#include "tests/support/wx_test.h"

namespace {

using widget::Variant;
using zentrik_test::WaitUntil;

TEST(CheckSaveModifiedPart, YesSavesNoResetsCancelStops) {
    wxFrame* frame = zentrik_test::ShowTestFrame(601, 700);
    auto* view = new PropertiesView(frame);
    view->SetSize(frame->GetClientSize());
    auto package = std::make_shared<pkg::qfp::QFPDetailedModel>(false);
    parts_ui::PropertyModel model = parts_ui::BuildQFPPropertyTree(*package);
    view->SetModel(model.model);
    zentrik_test::DispatchPending();

    ProgramSettings settings;
    settings.CurrentPartPath = L"/parts/QFP/chip.qvx";
    PartFileOperations ops;
    ops.Settings = &settings;
    ops.Properties = view;

    int answer = wxCANCEL;
    std::vector<std::pair<wxString, wxString>> asked;
    SetMessageBoxAnswerer([&](const wxString& text, const wxString& caption, long style) {
        asked.emplace_back(text, caption);
        EXPECT_EQ(style & (wxYES_NO | wxCANCEL), wxYES_NO | wxCANCEL);
        return answer;
    });
    bool saves = false;
    int save_requests = 0;
    view->SaveRequested.connect([&] {
        ++save_requests;
        return saves;
    });
    const auto thickness = model.index.at(parts_ui::PropertyKey(199, 181));

    EXPECT_TRUE(ops.CheckSaveModifiedPart());
    EXPECT_TRUE(asked.empty()) << "nothing modified, nothing asked";

    zentrik_test::TypeIntoGrid(view, thickness->property, "2.5");

    EXPECT_FALSE(ops.CheckSaveModifiedPart());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].first, "The part 'chip' has been modified.\nOverwrite?");
    EXPECT_EQ(asked[0].second, "Exit");
    EXPECT_TRUE(view->IsModified());
    EXPECT_EQ(save_requests, 0);

    answer = wxYES;  // the save fails: the caller must not go on
    EXPECT_FALSE(ops.CheckSaveModifiedPart());
    EXPECT_EQ(save_requests, 1);
    EXPECT_TRUE(view->IsModified());

    saves = true;
    EXPECT_TRUE(ops.CheckSaveModifiedPart());
    EXPECT_EQ(save_requests, 2);
    EXPECT_FALSE(view->IsModified());
    EXPECT_EQ(thickness->value, Variant::FromR8(2.5));

    zentrik_test::TypeIntoGrid(view, thickness->property, "3");
    answer = wxNO;
    EXPECT_TRUE(ops.CheckSaveModifiedPart());
    EXPECT_EQ(save_requests, 2);
    EXPECT_FALSE(view->IsModified());
    EXPECT_EQ(thickness->value, Variant::FromR8(2.5));

    SetMessageBoxAnswerer({});
    frame->Destroy();
    zentrik_test::DispatchPending();
}

}  // namespace
