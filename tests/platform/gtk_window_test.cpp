#include "platform/gtk_window.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

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

// The non-empty lines of `text`.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

TEST(GtkWindow, AHandleOfTheWrongKindFailsAndIsReportedOnce) {
    wxFrame* frame = zentrik_test::ShowTestFrame(200, 150);
    auto* panel = new wxPanel(frame);
    platform::ScreenRect rect;
    const auto fail_each_call = [&] {
        EXPECT_FALSE(platform::RaiseWithoutFocus(panel->GetHandle()));
        EXPECT_FALSE(platform::RaiseWithoutFocus(panel->GetHandle()));
        EXPECT_FALSE(platform::FrameRectangle(nullptr, rect));
        EXPECT_FALSE(platform::KeepScrollBarsVisible(frame->GetHandle()));
    };

    testing::internal::CaptureStderr();
    fail_each_call();
    const std::vector<std::string> first = Lines(testing::internal::GetCapturedStderr());
    // One report for each function that failed, however often it failed, each naming it.
    EXPECT_EQ(first.size(), 3u) << testing::PrintToString(first);
    const std::vector<std::string> calls = {"RaiseWithoutFocus", "FrameRectangle",
                                            "KeepScrollBarsVisible"};
    for (const std::string& call : calls) {
        EXPECT_EQ(std::count_if(first.begin(), first.end(),
                                [&](const std::string& line) {
                                    return line.find(call) != std::string::npos;
                                }),
                  1)
            << call << " in " << testing::PrintToString(first);
    }

    // Failing again is not reported again.
    testing::internal::CaptureStderr();
    fail_each_call();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    frame->Destroy();
}

}  // namespace
