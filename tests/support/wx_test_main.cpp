// The main of every test binary that needs a display: GoogleTest first, so that listing
// the tests (CTest's discovery) needs no display; then wx with an active GUI event loop.
#include <cstdio>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>

int main(int argc, char** argv) {
    // A leak-check exit loses buffered output.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) {
        return RUN_ALL_TESTS();
    }

    // GTK aborts without an application object.
    wxApp::SetInstance(new wxApp);
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    if (!wxEntryStart(wxArgc, wxArgv)) {
        std::fprintf(stderr, "wx could not start: is DISPLAY set? Run through tests/with-display.\n");
        return 1;
    }

    int result = 0;
    {
        wxGUIEventLoop loop;
        wxEventLoopActivator activator(&loop);
        result = RUN_ALL_TESTS();
    }
    wxEntryCleanup();
    return result;
}
