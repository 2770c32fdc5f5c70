// Starts a program under the X server named by DISPLAY and watches its window
// from outside, the same way for every program, so that nothing in the program
// itself has to take part in being measured:
//   - first paint: the time from just before the program is started until the
//     first top-level window it maps shows a picture in every given region;
//   - resident memory once the window has settled;
//   - the CPU time its threads use over a stretch of doing nothing;
//   - optionally, a close as a player's click on the close box would ask for
//     it (WM_DELETE_WINDOW), and the exit status that follows.
// The pointer can be put somewhere first: Qt does extra work for a widget
// shown or hidden under it.
//
// usage: bench_window_probe [--rect X,Y,W,H]... [--colours N] [--timeout S]
//                           [--settle S] [--idle S] [--close] [--pointer X,Y]
//                           -- PROGRAM ARGS...
// Prints "key value" lines: mapped_ms, first_paint_ms, rss_kb, idle_cpu_pct,
// exit_status. Exits 1 when the window never shows its picture.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Area {
    int x = 0, y = 0, w = 0, h = 0;
};

struct Options {
    std::vector<Area> regions;
    int colours = 8;
    double timeout = 30.0;
    double settle = 1.0;
    double idle = 0.0;
    bool close = false;
    std::optional<std::pair<int, int>> pointer;
    std::vector<char*> command;
};

[[noreturn]] void usage() {
    std::fprintf(stderr, "usage: bench_window_probe [--rect X,Y,W,H]... [--colours N] "
                         "[--timeout S] [--settle S] [--idle S] [--close] [--pointer X,Y] "
                         "-- PROGRAM ARGS...\n");
    std::exit(2);
}

Options parse(int argc, char** argv) {
    Options options;
    int i = 1;
    auto value = [&](const char* name) -> const char* {
        if (i + 1 >= argc) {
            std::fprintf(stderr, "bench_window_probe: %s needs a value\n", name);
            usage();
        }
        return argv[++i];
    };
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "--rect") {
            Area r;
            if (std::sscanf(value("--rect"), "%d,%d,%d,%d", &r.x, &r.y, &r.w, &r.h) != 4 ||
                r.w <= 0 || r.h <= 0)
                usage();
            options.regions.push_back(r);
        } else if (arg == "--colours") {
            options.colours = std::max(1, std::atoi(value("--colours")));
        } else if (arg == "--timeout") {
            options.timeout = std::atof(value("--timeout"));
        } else if (arg == "--settle") {
            options.settle = std::atof(value("--settle"));
        } else if (arg == "--idle") {
            options.idle = std::atof(value("--idle"));
        } else if (arg == "--close") {
            options.close = true;
        } else if (arg == "--pointer") {
            int x = 0, y = 0;
            if (std::sscanf(value("--pointer"), "%d,%d", &x, &y) != 2)
                usage();
            options.pointer = std::pair(x, y);
        } else {
            usage();
        }
    }
    for (; i < argc; ++i)
        options.command.push_back(argv[i]);
    if (options.command.empty())
        usage();
    options.command.push_back(nullptr);
    return options;
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A window that is being unmapped or destroyed under us must not end the probe.
int ignoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

// True when every region shows at least `wanted` distinct colours: a symbol
// picture or antialiased text, not a blank or unpainted area. One request
// fetches them all, so that watching costs the X server the same whatever
// the number of regions.
bool showsPictures(Display* display, Window window, const std::vector<Area>& regions, int wanted) {
    int left = regions.front().x, top = regions.front().y, right = left, bottom = top;
    for (const Area& r : regions) {
        left = std::min(left, r.x);
        top = std::min(top, r.y);
        right = std::max(right, r.x + r.w);
        bottom = std::max(bottom, r.y + r.h);
    }
    XImage* image = XGetImage(display, window, left, top, static_cast<unsigned>(right - left),
                              static_cast<unsigned>(bottom - top), AllPlanes, ZPixmap);
    if (image == nullptr)
        return false;
    const bool all = std::all_of(regions.begin(), regions.end(), [&](const Area& r) {
        std::vector<unsigned long> seen;
        for (int y = r.y - top; y < r.y - top + r.h && static_cast<int>(seen.size()) < wanted;
             ++y) {
            for (int x = r.x - left; x < r.x - left + r.w && static_cast<int>(seen.size()) < wanted;
                 ++x) {
                const unsigned long pixel = XGetPixel(image, x, y);
                if (std::find(seen.begin(), seen.end(), pixel) == seen.end())
                    seen.push_back(pixel);
            }
        }
        return static_cast<int>(seen.size()) >= wanted;
    });
    XDestroyImage(image);
    return all;
}

// Waits up to `wait` for X events, handing each to `onEvent`.
template <typename OnEvent>
void pumpEvents(Display* display, Clock::duration wait, OnEvent onEvent) {
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    if (XPending(display) == 0)
        poll(&fd, 1, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count()));
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        onEvent(event);
    }
}

std::optional<int> exitStatusIfEnded(pid_t pid, bool block) {
    int status = 0;
    const pid_t ended = waitpid(pid, &status, block ? 0 : WNOHANG);
    if (ended != pid)
        return std::nullopt;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

long residentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return -1;
}

// CPU time of all the process's threads, in nanoseconds, from the scheduler's
// own accounting, which is far finer than the 10 ms ticks of /proc/PID/stat.
long long cpuNanoseconds(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    long long total = 0;
    if (DIR* dir = opendir(tasks.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] == '.')
                continue;
            std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
            long long onCpu = 0;
            if (stat >> onCpu)
                total += onCpu;
        }
        closedir(dir);
    }
    return total;
}

void stop(pid_t pid) {
    kill(pid, SIGTERM);
    const auto deadline = Clock::now() + 3s;
    while (Clock::now() < deadline) {
        if (exitStatusIfEnded(pid, false))
            return;
        std::this_thread::sleep_for(10ms);
    }
    kill(pid, SIGKILL);
    exitStatusIfEnded(pid, true);
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "bench_window_probe: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(&ignoreXErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    if (options.pointer)
        XWarpPointer(display, None, root, 0, 0, 0, 0, options.pointer->first,
                     options.pointer->second);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("bench_window_probe: fork");
        return 1;
    }
    if (pid == 0) {
        // What the program prints goes to stderr, away from the figures.
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execvp(options.command[0], options.command.data());
        std::perror("bench_window_probe: exec");
        _exit(127);
    }
    const auto deadline = start + std::chrono::duration_cast<Clock::duration>(
                                      std::chrono::duration<double>(options.timeout));

    Window window = None;
    while (window == None) {
        if (Clock::now() > deadline || exitStatusIfEnded(pid, false)) {
            std::fprintf(stderr, "bench_window_probe: no window was mapped\n");
            stop(pid);
            return 1;
        }
        pumpEvents(display, 1ms, [&](const XEvent& event) {
            if (event.type == MapNotify && event.xmap.event == root &&
                !event.xmap.override_redirect && window == None)
                window = event.xmap.window;
        });
    }
    std::printf("mapped_ms %.1f\n", millisecondsSince(start));

    for (;;) {
        const bool painted = options.regions.empty() ||
                             showsPictures(display, window, options.regions, options.colours);
        if (painted)
            break;
        if (Clock::now() > deadline || exitStatusIfEnded(pid, false)) {
            std::fprintf(stderr, "bench_window_probe: the window never showed its picture\n");
            stop(pid);
            return 1;
        }
        pumpEvents(display, 1ms, [](const XEvent&) {});
    }
    std::printf("first_paint_ms %.1f\n", millisecondsSince(start));
    std::fflush(stdout);

    std::this_thread::sleep_for(std::chrono::duration<double>(options.settle));
    std::printf("rss_kb %ld\n", residentKilobytes(pid));
    std::fflush(stdout);

    if (options.idle > 0) {
        const long long cpuBefore = cpuNanoseconds(pid);
        const Clock::time_point idleStart = Clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(options.idle));
        const long long cpuUsed = cpuNanoseconds(pid) - cpuBefore;
        const double elapsed =
            std::chrono::duration<double, std::nano>(Clock::now() - idleStart).count();
        std::printf("idle_cpu_pct %.3f\n", 100.0 * static_cast<double>(cpuUsed) / elapsed);
        std::fflush(stdout);
    }

    if (!options.close) {
        stop(pid);
        XCloseDisplay(display);
        return 0;
    }
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &close);
    XFlush(display);
    const auto closeDeadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                  std::chrono::duration<double>(options.timeout));
    for (;;) {
        if (const auto status = exitStatusIfEnded(pid, false)) {
            std::printf("exit_status %d\n", *status);
            break;
        }
        if (Clock::now() > closeDeadline) {
            std::fprintf(stderr, "bench_window_probe: the program did not end when closed\n");
            stop(pid);
            std::printf("exit_status -1\n");
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
    XCloseDisplay(display);
    return 0;
}
