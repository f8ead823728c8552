// Runs the real game, asks its window to close as a window manager would, and checks that the
// process ends by itself with status 0 and writes nothing to standard error. The game runs in a
// directory of its own that links to the repository's data, so that it neither writes into the
// repository (the title screen's world) nor reads the developer's settings. One picture that only
// the game screen shows is left out: the intro, which the game starts with, names it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

// Xlib defines macros (None, Bool, ...) that clash with gtest: it comes last.
#include <X11/Xlib.h>
#include <X11/Xatom.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Other programs on the same X server (the other tests of a parallel run) open and close
// windows all the time, so a window found by the walk below may be gone by the time it is
// asked for its name. Xlib's default handler would end this process on that BadWindow error;
// while the walk runs, such errors only mean "not this one".
class IgnoreVanishedWindows {
public:
    IgnoreVanishedWindows() : previous(XSetErrorHandler(&ignore)) {}
    ~IgnoreVanishedWindows() { XSetErrorHandler(previous); }
    IgnoreVanishedWindows(const IgnoreVanishedWindows&) = delete;
    IgnoreVanishedWindows& operator=(const IgnoreVanishedWindows&) = delete;

private:
    static int ignore(Display*, XErrorEvent*) { return 0; }
    XErrorHandler previous;
};

// The process id a window's client gave it (_NET_WM_PID), or -1.
long windowPid(Display* display, Window window) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data && type == XA_CARDINAL && format == 32 && count == 1)
        pid = *reinterpret_cast<long*>(data);
    if (data) XFree(data);
    return pid;
}

// The window of the given process with the given title, searched from `window` down.
Window findWindow(Display* display, Window window, const std::string& title, pid_t pid) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        const bool match = title == name && windowPid(display, window) == pid;
        XFree(name);
        if (match) return window;
    }
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i)
        found = findWindow(display, children[i], title, pid);
    if (children) XFree(children);
    return found;
}

Window findGameWindow(Display* display, pid_t game) {
    IgnoreVanishedWindows quietly;
    Window found = findWindow(display, DefaultRootWindow(display), "Hollowmere by Quorvane", game);
    XSync(display, False);  // errors of the walk arrive while they are still ignored
    return found;
}

void requestClose(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    IgnoreVanishedWindows quietly;  // a game that ended by itself already fails below
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

// Links the game's data (the JSON files of the repository root, the folders under assets/ and
// the pictures) into dir, except the title screen's world, which the game makes itself, and
// the picture `missing`.
void linkGameData(const std::filesystem::path& dir, const std::string& missing) {
    namespace fs = std::filesystem;
    const fs::path repository = fs::current_path();
    for (const fs::directory_entry& entry : fs::directory_iterator(repository))
        if (entry.is_regular_file() && entry.path().extension() == ".json" &&
            entry.path().filename() != "settings.json")
            fs::create_symlink(entry.path(), dir / entry.path().filename());
    fs::create_directory(dir / "assets");
    for (const fs::directory_entry& entry : fs::directory_iterator(repository / "assets"))
        if (entry.path().filename() != "titleScreen" && entry.path().filename() != "textures")
            fs::create_directory_symlink(entry.path(), dir / "assets" / entry.path().filename());
    fs::create_directory(dir / "assets/textures");
    for (const fs::directory_entry& entry : fs::directory_iterator(repository / "assets/textures"))
        if (entry.path().filename() != missing)
            fs::create_symlink(entry.path(), dir / "assets/textures" / entry.path().filename());
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), {}};
}

}  // namespace

TEST(CleanExit, ClosingTheWindowEndsTheGameWithStatusZeroAndNoErrorOutput) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "needs an X display (run under xvfb-run)";

    char outputDir[] = "/tmp/hollowmere-exit-XXXXXX";
    ASSERT_NE(mkdtemp(outputDir), nullptr);
    const std::filesystem::path out = std::filesystem::path(outputDir) / "stdout";
    const std::filesystem::path err = std::filesystem::path(outputDir) / "stderr";
    const std::filesystem::path gameDir = std::filesystem::path(outputDir) / "game";
    std::filesystem::create_directory(gameDir);
    linkGameData(gameDir, "nebula.jpg");

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addchdir_np(&files, gameDir.c_str());
    char* argv[] = {const_cast<char*>(GAME_EXECUTABLE), nullptr};
    pid_t game = 0;
    ASSERT_EQ(posix_spawn(&game, GAME_EXECUTABLE, &files, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&files);

    int status = 0;
    bool exited = false;
    Window window = 0;
    const auto windowDeadline = Clock::now() + std::chrono::seconds(120);
    while (!window && !exited && Clock::now() < windowDeadline) {
        window = findGameWindow(display, game);
        exited = waitpid(game, &status, WNOHANG) == game;
        if (!window) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (window) requestClose(display, window);

    // The title screen acts on the close request only once its background world has loaded and
    // been stored, which a busy machine may take a while to do.
    const auto exitDeadline = Clock::now() + std::chrono::seconds(120);
    while (!exited && Clock::now() < exitDeadline) {
        exited = waitpid(game, &status, WNOHANG) == game;
        if (!exited) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!exited) {
        kill(game, SIGKILL);
        waitpid(game, &status, 0);
    }
    XCloseDisplay(display);
    const std::string output = readFile(out), errors = readFile(err);
    std::error_code ec;
    int storedChunks = 0;
    for (std::filesystem::directory_iterator it(gameDir / "assets/titleScreen/bgWorld/chunks", ec), end;
         !ec && it != end; it.increment(ec))
        ++storedChunks;
    std::filesystem::remove_all(outputDir);

    EXPECT_NE(window, 0u) << "the game window never appeared";
    ASSERT_TRUE(exited) << "the game did not end after its window was closed";
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(errors, "");
    EXPECT_NE(output.find("successfully loaded track"), std::string::npos) << output;
    const std::string introLine = "Error: unable to load file \"nebula.jpg\"\n";
    EXPECT_EQ(output.find(introLine), output.rfind(introLine)) << output;
    EXPECT_NE(output.find(introLine), std::string::npos) << "the game did not start with the intro:\n" << output;
    EXPECT_GT(storedChunks, 0) << "the title screen's world was not stored";
}
