#include "platform/gtk_window.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include "tests/support/wx_test.h"

namespace {

TEST(GtkWindow, FrameRectangleHoldsTheShownFrame) {
    wxFrame* frame = zentrik_test::ShowTestFrame(420, 300);
    platform::ScreenRect rect;
    ASSERT_TRUE(zentrik_test::WaitUntil([&] { return platform::FrameRectangle(frame->GetHandle(), rect); }));
    const wxRect client(frame->ClientToScreen(wxPoint(0, 0)), frame->GetClientSize());
    EXPECT_TRUE(wxRect(rect.x, rect.y, rect.width, rect.height).Contains(client));
    EXPECT_TRUE(platform::IsMapped(frame->GetHandle()));
    frame->Destroy();
}

TEST(GtkWindow, AHandleOfTheWrongKindFailsAndIsReportedOnce) {
    wxFrame* frame = zentrik_test::ShowTestFrame(200, 150);
    auto* panel = new wxPanel(frame);
    platform::ScreenRect rect;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::RaiseWithoutFocus(panel->GetHandle()));
    EXPECT_FALSE(platform::RaiseWithoutFocus(panel->GetHandle()));
    EXPECT_FALSE(platform::FrameRectangle(nullptr, rect));
    EXPECT_FALSE(platform::KeepScrollBarsVisible(frame->GetHandle()));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said,
              "RaiseWithoutFocus: the handle is not the GTK widget it needs\n"
              "FrameRectangle: the handle is not the GTK widget it needs\n"
              "KeepScrollBarsVisible: the handle is not the GTK widget it needs\n");
    frame->Destroy();
}

}  // namespace
