#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/uiaction.h>

#include "tests/support/wx_test.h"

namespace {

// The display test set-up itself: a shown frame receives a real click, and a CallAfter
// from the test runs while WaitUntil dispatches.
TEST(DisplayTestSupport, RealClickAndCallAfterReachTheWindow) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "test", wxPoint(0, 0), wxSize(300, 200));
    auto* button = new wxButton(frame, wxID_ANY, "Press", wxPoint(20, 20), wxSize(120, 40));
    int clicks = 0;
    button->Bind(wxEVT_BUTTON, [&clicks](wxCommandEvent&) { ++clicks; });
    frame->Show();
    ASSERT_TRUE(zentrik_test::WaitUntil([&] { return button->IsShownOnScreen(); }));

    wxUIActionSimulator sim;
    const wxPoint centre = button->ClientToScreen(wxPoint(60, 20));
    sim.MouseMove(centre);
    sim.MouseClick();
    ASSERT_TRUE(zentrik_test::WaitUntil([&] { return clicks > 0; }));
    EXPECT_EQ(clicks, 1);

    bool called = false;
    frame->CallAfter([&called] { called = true; });
    EXPECT_TRUE(zentrik_test::WaitUntil([&] { return called; }));
    frame->Destroy();
    zentrik_test::DispatchPending();
}

}  // namespace
