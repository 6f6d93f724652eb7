// Drives the real program through X alone: starts it in a fresh home, waits for its windows
// to map, checks the floating output pane and the first-start samples, closes it as a
// window manager would, and checks the settings it leaves behind.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "platform/temp_files.h"

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string WindowName(Display* display, Window window) {
    char* name = nullptr;
    std::string result;
    if (XFetchName(display, window, &name) && name != nullptr) result = name;
    if (name != nullptr) XFree(name);
    return result;
}

// A window's rectangle on the root window.
struct Rect {
    int x, y, width, height;
};

Rect RootRect(Display* display, Window window) {
    Window root = 0, child = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth);
    XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child);
    return {x, y, static_cast<int>(width), static_cast<int>(height)};
}

class ProgramRun : public ::testing::Test {
protected:
    void SetUp() override {
        dir = platform::MakeUniqueDirectory(platform::TempDirectory(), "zentrik-program-");
        ASSERT_FALSE(dir.empty());
        fs::create_directories(dir / "home");
        fs::create_directories(dir / "config");
        fs::create_directories(dir / "tmp");
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
        XSync(display, False);
    }
    void TearDown() override {
        if (display != nullptr) XCloseDisplay(display);
        std::error_code error;
        fs::remove_all(dir, error);
    }

    void Start() {
        pid = fork();
        if (pid == 0) {
            setenv("HOME", (dir / "home").c_str(), 1);
            setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
            // Under the sanitizer build the system libraries' leaks would fail the exit.
            setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
            setenv("TMPDIR", (dir / "tmp").c_str(), 1);
            setenv("LANG", "C", 1);
            if (!freopen((dir / "stderr.txt").c_str(), "a", stderr)) _exit(126);
            execl(ZENTRIK_PROGRAM, ZENTRIK_PROGRAM, static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_GT(pid, 0);
    }

    // Asks the frame to close and waits for the next window of that name to map (a
    // message box of the exit), without waiting for the program to end.
    Window CloseAndWaitForBox() {
        SendClose(frame);
        for (;;) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && WindowName(display, event.xmap.window) == "Zentrik")
                return event.xmap.window;
        }
    }

    // Waits (on X events only) until the windows named `frameName` and, when given,
    // `paneName` have mapped.
    void WaitForMaps(bool withOutput) {
        while (frame == 0 || (withOutput && output == 0)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify) continue;
            const std::string name = WindowName(display, event.xmap.window);
            if (name == "Zentrik") frame = event.xmap.window;
            if (name == "Output") output = event.xmap.window;
        }
    }

    // Closes a window as a window manager would.
    void SendClose(Window window) {
        const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
        const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XEvent message{};
        message.xclient.type = ClientMessage;
        message.xclient.window = window;
        message.xclient.message_type = protocols;
        message.xclient.format = 32;
        message.xclient.data.l[0] = static_cast<long>(deleteWindow);
        message.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &message);
        XFlush(display);
    }

    int WaitForExit() {
        int status = 0;
        waitpid(pid, &status, 0);
        frame = output = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    int CloseAndWait() {
        SendClose(frame);
        return WaitForExit();
    }

    fs::path dir;
    Display* display = nullptr;
    pid_t pid = -1;
    Window frame = 0;
    Window output = 0;
};

TEST_F(ProgramRun, FirstStartFloatsOutputInstallsSamplesAndSavesSettingsAtCleanExit) {
    Start();
    WaitForMaps(true);
    const Rect frameRect = RootRect(display, frame);
    const Rect outputRect = RootRect(display, output);
    EXPECT_EQ(outputRect.width, 400);
    EXPECT_EQ(outputRect.height, 200);
    EXPECT_EQ(outputRect.x + outputRect.width, frameRect.x + frameRect.width);
    EXPECT_EQ(outputRect.y + outputRect.height, frameRect.y + frameRect.height);

    const fs::path home = dir / "home";
    const fs::path parts = home / "Ostrel" / "Zentrik2020" / "parts";
    for (const char* type : {"QFP", "SOP", "PBGA", "FCBGA", "TO-220", "TO-247", "TO-263",
                             "TO-252", "SOT-89", "SOT-223"}) {
        EXPECT_TRUE(fs::is_regular_file(parts / type / (std::string(type) + "_Sample_1.qvx")))
            << type;
    }
    ASSERT_EQ(CloseAndWait(), 0);

    const fs::path key = dir / "config" / "Ostrel" / "Zentrik2020" / "Zentrik_Du64";
    std::string golden = ReadBytes(fs::path(ZENTRIK_TEST_DATA) / "app" / "settings_defaults.xml");
    const std::string placeholder = "/home/zentrik";
    for (auto at = golden.find(placeholder); at != std::string::npos;
         at = golden.find(placeholder, at)) {
        golden.replace(at, placeholder.size(), home.string());
        at += home.string().size();
    }
    EXPECT_EQ(ReadBytes(key / "zentrik.xml"), golden);
    EXPECT_NE(ReadBytes(key / "registry.ini").find("EnvHomeDirectory"), std::string::npos);

    // With the settings saved, a sample the user deleted is not installed again, and the
    // saved layout brings the output pane back where it was.
    fs::remove(parts / "SOP" / "SOP_Sample_1.qvx");
    Start();
    WaitForMaps(true);
    const Rect again = RootRect(display, output);
    EXPECT_EQ(again.x, outputRect.x);
    EXPECT_EQ(again.y, outputRect.y);
    EXPECT_EQ(WindowName(display, output), "Output");
    ASSERT_EQ(CloseAndWait(), 0);
    EXPECT_FALSE(fs::exists(parts / "SOP" / "SOP_Sample_1.qvx"));
    EXPECT_TRUE(fs::exists(parts / "QFP" / "QFP_Sample_1.qvx"));
}

// What a killed or broken earlier run leaves: a folder where the settings file belongs,
// temporaries of saves and exports, and a type folder holding links to itself.
TEST_F(ProgramRun, StartsOverBrokenSettingsLinkLoopsAndLeftoversKeepingWhatIsNotOurs) {
    const pid_t ended = fork();
    if (ended == 0) _exit(0);
    waitpid(ended, nullptr, 0);
    const std::string host = "." + std::string(platform::ThisHostMark());
    const std::string dead = "zt" + std::to_string(ended) + host + "-Ab3dEf9h";
    const std::string alive = "zt" + std::to_string(getpid()) + host + "-Ab3dEf9h";

    const fs::path key = dir / "config" / "Ostrel" / "Zentrik2020" / "Zentrik_Du64";
    fs::create_directories(key / "zentrik.xml" / "inside");
    const fs::path qfp = dir / "home" / "Ostrel" / "Zentrik2020" / "parts" / "QFP";
    fs::create_directories(qfp);
    fs::create_directory_symlink(".", qfp / "self");
    fs::create_directory_symlink(".", qfp / "again");
    const fs::path tmp = dir / "tmp";
    const fs::path library = dir / "home" / "Ostrel" / "Zentrik2020" / "library";
    fs::create_directories(library);
    const fs::path gone[] = {qfp / (".a.qvx-" + dead), key / (".zentrik.xml-" + dead),
                             key / (".registry.ini-" + dead), library / (".a_detail.cab-" + dead),
                             tmp / ("pkg" + dead), tmp / ("qvx_20261291010_" + dead)};
    // The user's own files, some named like an older writer's or like ours.
    const fs::path kept[] = {qfp / (".a.qvx-" + alive), qfp / ".a.qvx-Ab3dEf9h",
                             tmp / ("pkgx" + dead), tmp / ("qvx_20261291010_" + alive),
                             key / "registrybackup", key / "registry202612",
                             key / (".notes-" + dead), qfp / (".notes.txt-" + dead),
                             library / (".a_detail.pdf-" + dead)};
    for (const fs::path& p : gone) std::ofstream(p) << "x";
    for (const fs::path& p : kept) std::ofstream(p) << "x";
    // A staging folder as an export makes it, with its staged model.
    fs::remove(tmp / ("qvx_20261291010_" + dead));
    fs::create_directories(tmp / ("qvx_20261291010_" + dead));
    fs::permissions(tmp / ("qvx_20261291010_" + dead), fs::perms(0700));
    std::ofstream(tmp / ("qvx_20261291010_" + dead) / "model.xml") << "x";

    Start();
    WaitForMaps(false);
    ASSERT_EQ(CloseAndWait(), 0);
    EXPECT_TRUE(fs::is_directory(key / "zentrik.xml.bad" / "inside"));
    EXPECT_TRUE(fs::is_regular_file(key / "zentrik.xml"));
    for (const fs::path& p : gone) EXPECT_FALSE(fs::exists(p)) << p;
    for (const fs::path& p : kept) EXPECT_TRUE(fs::exists(p)) << p;
    EXPECT_TRUE(fs::is_symlink(qfp / "self"));
}

// An oversized key file, and one under the bound whose group is nested 150000 levels deep
// (it overflowed the reader's stack before any window): the start ends with a usable
// frame, and the file is left as it was.
TEST_F(ProgramRun, StartsOverAnOversizedOrDeeplyNestedKeyFileAndLeavesItAsItWas) {
    const fs::path key = dir / "config" / "Ostrel" / "Zentrik2020" / "Zentrik_Du64";
    fs::create_directories(key);
    std::string oversized = "MainFrameRect=0,0,100000,100000,0\nPaneLayout=";
    oversized.resize(1024 * 1024 + 1, 'x');
    std::string deep = "EnvHomeDirectory=" + (dir / "home").string() + "\n[";
    for (int level = 0; level < 150000; ++level) deep += "a/";
    deep += "a]\n";
    for (const std::string& bytes : {oversized, deep}) {
        std::ofstream(key / "registry.ini", std::ios::binary | std::ios::trunc) << bytes;
        Start();
        WaitForMaps(true);
        ASSERT_EQ(CloseAndWait(), 0);
        EXPECT_EQ(ReadBytes(key / "registry.ini"), bytes);
    }
}

TEST_F(ProgramRun, ASaveThatFailsAtExitIsReported) {
    Start();
    WaitForMaps(false);
    // The home folder becomes a file: nothing can be written into it any more.
    const fs::path key = dir / "config" / "Ostrel" / "Zentrik2020" / "Zentrik_Du64";
    fs::rename(key, dir / "moved");
    std::ofstream(key) << "x";
    const Window box = CloseAndWaitForBox();
    SendClose(box);
    ASSERT_EQ(WaitForExit(), 0);
    EXPECT_NE(ReadBytes(dir / "stderr.txt")
                  .find("The settings could not be saved to " + key.string() +
                        "/zentrik.xml. The changes made in this session are lost.\n"),
              std::string::npos);
}

TEST(ProgramWithoutDisplay, ReportsTheStartFailureOnStandardErrorAndExitsWithOne) {
    const fs::path dir =
        platform::MakeUniqueDirectory(platform::TempDirectory(), "zentrik-nodisplay-");
    ASSERT_FALSE(dir.empty());
    const fs::path errors = dir / "stderr.txt";
    const pid_t pid = fork();
    if (pid == 0) {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        setenv("HOME", dir.c_str(), 1);
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        setenv("LANG", "C", 1);
        setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        if (!freopen(errors.c_str(), "w", stderr)) _exit(126);
        execl(ZENTRIK_PROGRAM, ZENTRIK_PROGRAM, static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(pid, 0);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(ReadBytes(errors).find("OLE initialization failed.  Make sure that the OLE "
                                     "libraries are the correct version.\n"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "Ostrel"));
    std::error_code error;
    fs::remove_all(dir, error);
}

}  // namespace
