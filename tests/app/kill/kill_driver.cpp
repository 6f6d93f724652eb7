// Runs the program's own writes of an exit and of a start, one mode per run, so that a test
// can kill it at any single system call and look at what is left.
//   exit            the settings file and the two values of the layout record
//   start SOURCE    prints the home folder found, then installs the samples from SOURCE
#include <cstdio>
#include <cstring>
#include <string>

#include "app/home_folder.h"
#include "app/program_settings.h"
#include "app/sample_parts.h"
#include "platform/registry.h"
#include "platform/wide_string.h"

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "exit") == 0) {
        ProgramSettings settings;
        settings.HomeFolder = InitHomeDirectory();
        settings.Load();
        settings.FluidConductivity = 0.5;
        if (!settings.Save()) return 1;
        const bool rect =
            platform::Registry::WriteString(GetProductKey(), L"MainFrameRect", L"10,20,800,600");
        const bool layout = platform::Registry::WriteString(GetProductKey(), L"PaneLayout",
                                                            std::wstring(4000, L'p'));
        return rect && layout ? 0 : 1;
    }
    if (argc >= 3 && std::strcmp(argv[1], "start") == 0) {
        const std::wstring home = InitHomeDirectory();
        std::printf("%s\n", platform::WideToUtf8(home).c_str());
        std::fflush(stdout);
        InstallSamples(home + L"parts/", platform::Utf8ToWide(argv[2]));
        return 0;
    }
    std::fprintf(stderr, "usage: %s exit | start SOURCE\n", argv[0]);
    return 2;
}
