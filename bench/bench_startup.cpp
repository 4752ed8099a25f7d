// SPDX-License-Identifier: GPL-3.0-or-later
// How fast vfdtool puts its first window on the screen, and how much memory it
// holds two seconds later, next to a serial terminal users of this kind of tool
// already have (CuteCom). Both are measured the same way, from outside:
//
//   - the clock starts just before fork();
//   - it stops when the X server reports a MapNotify for a top-level window
//     (not override-redirect) whose _NET_WM_PID is the child's pid. We listen
//     for the server's events on the root window instead of polling it with
//     xwininfo, so the measuring costs the measured program no CPU;
//   - a second clock stops at the first damage (drawing) the server reports on
//     that window after it was mapped: the moment the window has content;
//   - two seconds later VmRSS (and, for reference, Pss) comes from /proc.
//
// Every program is started once to warm the page cache and font caches, then
// the runs of all programs are interleaved so none profits from going last.
//
// Usage: bench_startup [--runs N] LABEL=COMMAND... (first one is measured
// against the last one, e.g. "vfdtool=build/app/vfdtool/vfdtool" "cutecom=cutecom").
// Needs DISPLAY pointing at an X server (run-all starts an Xvfb).
#include "Figures.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/select.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Program
{
    std::string label;
    std::vector<std::string> argv;
    std::vector<double> startMs;
    std::vector<double> paintMs;
    std::vector<double> rssMiB;
    std::vector<double> pssMiB;
    int failures = 0;
};

struct Sample
{
    double startMs = 0;
    double paintMs = 0;
    double rssMiB = 0;
    double pssMiB = 0;
};

std::vector<std::string> splitWords(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// A /proc/PID/<file> field in kB, as MiB.
std::optional<double> procKiB(pid_t pid, const char* file, const std::string& field)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(field, 0) == 0)
            return std::atof(line.c_str() + field.size()) / 1024.0;
    }
    return std::nullopt;
}

std::optional<pid_t> windowPid(Display* display, Window window, Atom pidAtom)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) != Success)
        return std::nullopt;
    std::optional<pid_t> pid;
    if (data && type == XA_CARDINAL && format == 32 && count == 1)
        pid = pid_t(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

// A window may vanish between its MapNotify and our property read.
int ignoreXErrors(Display*, XErrorEvent*)
{
    return 0;
}

void stopChild(pid_t pid)
{
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

std::optional<Sample> measure(Display* display, int damageEventBase, const Program& program,
                              double timeoutS)
{
    const Window root = DefaultRootWindow(display);
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, True); // drop whatever earlier programs left queued

    std::vector<char*> args;
    for (const std::string& word : program.argv)
        args.push_back(const_cast<char*>(word.c_str()));
    args.push_back(nullptr);

    const Clock::time_point started = Clock::now();
    const pid_t pid = ::fork();
    if (pid < 0)
        return std::nullopt;
    if (pid == 0) {
        // Their chatter would only clutter the figures.
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    auto sinceStart = [started] {
        return std::chrono::duration<double, std::milli>(Clock::now() - started).count();
    };

    // Every new top-level window is watched for drawing from its creation on,
    // so the first paint cannot slip past before we look.
    std::vector<Damage> damages;
    Window shown = None;
    std::optional<double> shownMs, paintMs;
    const int fd = ConnectionNumber(display);
    while (!paintMs) {
        if (sinceStart() > timeoutS * 1000 || ::waitpid(pid, nullptr, WNOHANG) == pid)
            break;
        while (XPending(display) > 0 && !paintMs) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify && !event.xcreatewindow.override_redirect &&
                event.xcreatewindow.parent == root) {
                damages.push_back(
                    XDamageCreate(display, event.xcreatewindow.window, XDamageReportRawRectangles));
            } else if (event.type == MapNotify && !shownMs && !event.xmap.override_redirect &&
                       windowPid(display, event.xmap.window, pidAtom) == pid) {
                shownMs = sinceStart();
                shown = event.xmap.window;
            } else if (event.type == damageEventBase + XDamageNotify && shownMs &&
                       reinterpret_cast<XDamageNotifyEvent*>(&event)->drawable == shown) {
                paintMs = sinceStart();
            }
        }
        if (paintMs)
            break;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval wait{0, 50'000};
        ::select(fd + 1, &readable, nullptr, nullptr, &wait);
    }
    XSelectInput(display, root, NoEventMask);
    for (Damage damage : damages)
        XDamageDestroy(display, damage); // gone with its window already, or now
    XSync(display, True);
    if (!paintMs) {
        stopChild(pid);
        return std::nullopt;
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const std::optional<double> rss = procKiB(pid, "status", "VmRSS:");
    const std::optional<double> pss = procKiB(pid, "smaps_rollup", "Pss:");
    stopChild(pid);
    if (!rss)
        return std::nullopt;
    return Sample{*shownMs, *paintMs, *rss, pss.value_or(0)};
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 5;
    std::vector<Program> programs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (const size_t eq = arg.find('='); eq != std::string::npos && eq > 0) {
            Program program;
            program.label = arg.substr(0, eq);
            program.argv = splitWords(arg.substr(eq + 1));
            programs.push_back(program);
        } else {
            std::fprintf(stderr, "usage: bench_startup [--runs N] LABEL=COMMAND...\n");
            return 2;
        }
    }
    if (programs.size() < 2 || std::any_of(programs.begin(), programs.end(),
                                           [](const Program& p) { return p.argv.empty(); })) {
        std::fprintf(stderr, "usage: bench_startup [--runs N] LABEL=COMMAND... (two or more)\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "bench_startup: cannot open display \"%s\"\n",
                     std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
        return 1;
    }
    XSetErrorHandler(ignoreXErrors);
    int damageEventBase = 0, damageErrorBase = 0;
    if (!XDamageQueryExtension(display, &damageEventBase, &damageErrorBase)) {
        std::fprintf(stderr, "bench_startup: the X server has no DAMAGE extension\n");
        return 1;
    }

    std::printf("start-up: time from fork() to the first top-level window mapped and to its "
                "first paint; resident memory 2 s later\n");
    for (const Program& program : programs) {
        const std::optional<Sample> warm = measure(display, damageEventBase, program, 30);
        std::printf("  warm-up %-22s %s\n", program.label.c_str(),
                    warm ? "ok" : "NO WINDOW within 30 s");
    }
    for (int run = 1; run <= runs; ++run) {
        for (Program& program : programs) {
            const std::optional<Sample> s = measure(display, damageEventBase, program, 30);
            if (!s) {
                ++program.failures;
                std::printf("  run %d %-22s no window within 30 s\n", run, program.label.c_str());
                continue;
            }
            program.startMs.push_back(s->startMs);
            program.paintMs.push_back(s->paintMs);
            program.rssMiB.push_back(s->rssMiB);
            program.pssMiB.push_back(s->pssMiB);
            std::printf("  run %d %-22s mapped %7.1f ms  painted %7.1f ms  VmRSS %6.1f MiB  "
                        "Pss %6.1f MiB\n",
                        run, program.label.c_str(), s->startMs, s->paintMs, s->rssMiB, s->pssMiB);
        }
        std::fflush(stdout);
    }
    XCloseDisplay(display);

    std::printf("medians over %d runs:\n", runs);
    for (const Program& p : programs) {
        std::printf("  %-22s mapped %7.1f ms  painted %7.1f ms  VmRSS %6.1f MiB  Pss %6.1f MiB%s\n",
                    p.label.c_str(), median(p.startMs), median(p.paintMs), median(p.rssMiB),
                    median(p.pssMiB), p.failures ? "  (some runs failed)" : "");
    }
    const Program& base = programs.back();
    for (size_t i = 0; i + 1 < programs.size(); ++i) {
        const Program& p = programs[i];
        std::printf("  ratio %s / %s: mapped %.2f, painted %.2f, VmRSS %.2f, Pss %.2f\n",
                    p.label.c_str(), base.label.c_str(), median(p.startMs) / median(base.startMs),
                    median(p.paintMs) / median(base.paintMs),
                    median(p.rssMiB) / median(base.rssMiB),
                    median(base.pssMiB) > 0 ? median(p.pssMiB) / median(base.pssMiB) : 0.0);
    }
    // The figures file: each program beside the last one, medians of the runs.
    const std::string how =
        "median of " + std::to_string(runs) +
        " interleaved starts after one warm-up each, on a private Xvfb; "
        "from fork() to the X server's MapNotify / first DAMAGE; VmRSS 2 s later";
    for (size_t i = 0; i + 1 < programs.size(); ++i) {
        const Program& p = programs[i];
        const std::string peer = base.label + " (same run)";
        Figures::record("startup", p.label + ": window mapped", median(p.startMs), "ms", peer,
                        median(base.startMs), how);
        Figures::record("startup", p.label + ": first paint", median(p.paintMs), "ms", peer,
                        median(base.paintMs), how);
        Figures::record("startup", p.label + ": resident memory", median(p.rssMiB), "MiB", peer,
                        median(base.rssMiB), how);
    }
    return 0;
}
