#pragma once

#include <gtest/gtest.h>
#include <wx/app.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "shell/main_frame.h"
#include "app/program_settings.h"
#include "parts_ui/part_file_operations.h"
#include "platform/temp_files.h"
#include "tests/support/wx_test.h"

// A main frame, shown and made the application's top window, in a fresh home under a new
// temporary folder whose name starts with `prefix`; the folder goes with the test.
class ShownMainFrame : public ::testing::Test {
protected:
    explicit ShownMainFrame(const char* prefix) : prefix_(prefix) {}

    void SetUp() override {
        dir = platform::MakeUniqueDirectory(platform::TempDirectory(), prefix_);
        ASSERT_FALSE(dir.empty());
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        settings.PartsFolder = (dir / "parts").wstring() + L"/";
        frame = new MainFrame(settings, operations);
        wxTheApp->SetTopWindow(frame);
        frame->Show();
        ASSERT_TRUE(zentrik_test::WaitUntil([&] { return frame->IsShownOnScreen(); }));
    }
    void TearDown() override {
        wxTheApp->SetTopWindow(nullptr);
        frame->Destroy();
        zentrik_test::DispatchPending();
        std::error_code error;
        std::filesystem::remove_all(dir, error);
    }

    std::filesystem::path dir;
    ProgramSettings settings;
    PartFileOperations operations;
    MainFrame* frame = nullptr;

private:
    const char* prefix_;
};
