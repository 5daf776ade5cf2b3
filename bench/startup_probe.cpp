// Start-up time and peak memory of window programs, measured from outside.
//
//   startup_probe [--runs N] [--settle-ms MS] [--timeout-ms MS]
//                 --window TITLE PROGRAM [--window TITLE PROGRAM ...]
//
// Each run forks and executes PROGRAM and waits on the X server (DISPLAY)
// until a top-level window of that process with the title TITLE is mapped.
// The wall time runs from just before the fork to the arrival of that
// MapNotify, on CLOCK_MONOTONIC. The program is then left SETTLE_MS to paint
// (so its first paint counts towards its memory), ended with SIGTERM (SIGKILL
// if it lingers) and reaped with wait4(), whose ru_maxrss is its peak
// resident memory, and its ru_utime + ru_stime the CPU time it used (start-up,
// first paint and settling; steadier than the wall time on a busy machine).
//
// The programs take turns, in an ABBA order so that neither always runs
// right after the other, after one untimed run each that fills the page
// cache. Every run gets fresh, private XDG_CONFIG_HOME and XDG_RUNTIME_DIR
// folders, so a single-instance lock or settings file of one run never
// reaches the next. The medians of the first program are compared with
// those of the last as ratios.
#include <xcb/xcb.h>

#include <fcntl.h>
#include <ftw.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Program {
    std::string title;
    std::string path;
    std::vector<double> wallMs;
    std::vector<long> peakRssKb;
    std::vector<double> cpuMs;
};

struct Options {
    int runs = 20;
    int settleMs = 200;
    int timeoutMs = 20000;
    std::vector<Program> programs;
};

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

[[noreturn]] void fail(const std::string& message)
{
    std::fprintf(stderr, "startup_probe: %s\n", message.c_str());
    std::exit(1);
}

std::optional<Options> parseOptions(int argc, char* argv[])
{
    Options o;
    const auto number = [&](int& i) -> std::optional<int> {
        if (i + 1 >= argc)
            return std::nullopt;
        char* end = nullptr;
        const long v = std::strtol(argv[++i], &end, 10);
        if (*end != '\0' || v < 0 || v > 1'000'000)
            return std::nullopt;
        return static_cast<int>(v);
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::optional<int> v;
        if (arg == "--runs" && (v = number(i)) && *v > 0)
            o.runs = *v;
        else if (arg == "--settle-ms" && (v = number(i)))
            o.settleMs = *v;
        else if (arg == "--timeout-ms" && (v = number(i)) && *v > 0)
            o.timeoutMs = *v;
        else if (arg == "--window" && i + 2 < argc) {
            o.programs.push_back({argv[i + 1], argv[i + 2], {}, {}, {}});
            i += 2;
        } else
            return std::nullopt;
    }
    if (o.programs.empty())
        return std::nullopt;
    return o;
}

// ------------------------------------------------------------------ X side

class Display {
public:
    Display()
    {
        int screenNumber = 0;
        c_ = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(c_))
            fail("cannot connect to the X server (is DISPLAY set?)");
        // The programs must not inherit our connection.
        fcntl(xcb_get_file_descriptor(c_), F_SETFD, FD_CLOEXEC);
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
        for (int n = 0; n < screenNumber && it.rem > 0; ++n)
            xcb_screen_next(&it);
        root_ = it.data->root;
        netWmName_ = atom("_NET_WM_NAME");
        utf8String_ = atom("UTF8_STRING");
        netWmPid_ = atom("_NET_WM_PID");
        // Without a window manager Qt's top-level windows are children of the
        // root window, so their mapping shows up as substructure events there;
        // with one, the frame is mapped there and the client inside it, so
        // the frame's children are watched as well (see watchNewFrame).
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c_);
    }
    ~Display() { xcb_disconnect(c_); }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    int fd() const { return xcb_get_file_descriptor(c_); }
    bool broken() const { return xcb_connection_has_error(c_) != 0; }

    // Handles the events that have arrived; true once a window of `pid`
    // titled `title` has been mapped.
    bool sawWindow(pid_t pid, const std::string& title)
    {
        bool found = false;
        while (xcb_generic_event_t* ev = xcb_poll_for_event(c_)) {
            const auto type = ev->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                watchNewFrame(reinterpret_cast<xcb_create_notify_event_t*>(ev)->window);
            } else if (type == XCB_MAP_NOTIFY && !found) {
                const xcb_window_t w = reinterpret_cast<xcb_map_notify_event_t*>(ev)->window;
                found = isWindowOf(w, pid, title);
            }
            std::free(ev);
        }
        return found;
    }

private:
    xcb_atom_t atom(const char* name)
    {
        const auto cookie =
            xcb_intern_atom(c_, 0, static_cast<uint16_t>(std::strlen(name)), name);
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(c_, cookie, nullptr), &std::free);
        return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }

    void watchNewFrame(xcb_window_t window)
    {
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_, window, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c_);
    }

    std::string property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
    {
        const auto cookie = xcb_get_property(c_, 0, window, name, type, 0, 1024);
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(c_, cookie, nullptr), &std::free);
        if (!reply || reply->type == XCB_ATOM_NONE)
            return {};
        const auto* data = static_cast<const char*>(xcb_get_property_value(reply.get()));
        return std::string(data, static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
    }

    bool isWindowOf(xcb_window_t window, pid_t pid, const std::string& title)
    {
        std::string name = property(window, netWmName_, utf8String_);
        if (name.empty())
            name = property(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING);
        if (name != title)
            return false;
        // A window of that title from some other program does not count.
        const std::string pidBytes = property(window, netWmPid_, XCB_ATOM_CARDINAL);
        if (pidBytes.size() == sizeof(uint32_t)) {
            uint32_t owner = 0;
            std::memcpy(&owner, pidBytes.data(), sizeof owner);
            return owner == static_cast<uint32_t>(pid);
        }
        return true;
    }

    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_atom_t netWmName_ = XCB_ATOM_NONE;
    xcb_atom_t utf8String_ = XCB_ATOM_NONE;
    xcb_atom_t netWmPid_ = XCB_ATOM_NONE;
};

// ------------------------------------------------------------ process side

int removeEntry(const char* path, const struct stat*, int, FTW*) { return ::remove(path); }

// Fresh XDG_CONFIG_HOME and XDG_RUNTIME_DIR for one run, removed afterwards.
class PrivateFolders {
public:
    PrivateFolders()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/startup-probe-XXXXXX";
        if (!mkdtemp(pattern.data()))
            fail("cannot make a temporary folder: " + std::string(std::strerror(errno)));
        base_ = pattern;
        config_ = base_ + "/config";
        runtime_ = base_ + "/runtime";
        // Qt refuses a runtime folder that others can read.
        if (::mkdir(config_.c_str(), 0700) != 0 || ::mkdir(runtime_.c_str(), 0700) != 0)
            fail("cannot make the private folders in " + base_);
    }
    ~PrivateFolders() { nftw(base_.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS); }
    PrivateFolders(const PrivateFolders&) = delete;
    PrivateFolders& operator=(const PrivateFolders&) = delete;

    const std::string& config() const { return config_; }
    const std::string& runtime() const { return runtime_; }

private:
    std::string base_, config_, runtime_;
};

struct RunResult {
    double wallMs;
    long peakRssKb;
    double cpuMs; // user + system, to the end of the settling time
};

double milliseconds(const timeval& t)
{
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

// Reaps `pid`, giving it up to `graceMs` before SIGKILL; the child's
// resource use, or nullopt if it could not be reaped.
std::optional<rusage> endChild(pid_t pid, int graceMs)
{
    rusage usage{};
    int status = 0;
    const double until = nowMs() + graceMs;
    while (nowMs() < until) {
        const pid_t r = wait4(pid, &status, WNOHANG, &usage);
        if (r == pid)
            return usage;
        if (r < 0 && errno != EINTR)
            return std::nullopt;
        usleep(2000);
    }
    kill(pid, SIGKILL);
    while (wait4(pid, &status, 0, &usage) < 0)
        if (errno != EINTR)
            return std::nullopt;
    return usage;
}

RunResult runOnce(Display& x, const Program& p, const Options& o)
{
    PrivateFolders folders;
    const double start = nowMs();
    const pid_t pid = fork();
    if (pid < 0)
        fail("fork: " + std::string(std::strerror(errno)));
    if (pid == 0) {
        setenv("XDG_CONFIG_HOME", folders.config().c_str(), 1);
        setenv("XDG_RUNTIME_DIR", folders.runtime().c_str(), 1);
        const int devNull = ::open("/dev/null", O_RDWR);
        if (devNull >= 0) {
            dup2(devNull, STDIN_FILENO);
            dup2(devNull, STDOUT_FILENO); // stderr stays: a failing start says why
        }
        char* const args[] = {const_cast<char*>(p.path.c_str()), nullptr};
        execv(p.path.c_str(), args);
        std::fprintf(stderr, "startup_probe: cannot run %s: %s\n", p.path.c_str(),
                     std::strerror(errno));
        _exit(127);
    }

    double mappedAt = -1;
    while (mappedAt < 0) {
        if (x.sawWindow(pid, p.title)) {
            mappedAt = nowMs();
            break;
        }
        if (x.broken())
            fail("lost the connection to the X server");
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            fail(p.path + " ended before its window \"" + p.title + "\" was mapped");
        if (nowMs() - start > o.timeoutMs) {
            endChild(pid, 0);
            fail("no window \"" + p.title + "\" within " + std::to_string(o.timeoutMs) + " ms");
        }
        pollfd pfd{x.fd(), POLLIN, 0};
        poll(&pfd, 1, 10);
    }

    usleep(static_cast<useconds_t>(o.settleMs) * 1000);
    x.sawWindow(0, {}); // drop what the settling produced
    kill(pid, SIGTERM);
    const std::optional<rusage> usage = endChild(pid, 3000);
    if (!usage)
        fail("could not reap " + p.path);
    return {mappedAt - start, usage->ru_maxrss,
            milliseconds(usage->ru_utime) + milliseconds(usage->ru_stime)};
}

template <typename T>
double median(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? static_cast<double>(v[n / 2])
                 : (static_cast<double>(v[n / 2 - 1]) + static_cast<double>(v[n / 2])) / 2;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::optional<Options> parsed = parseOptions(argc, argv);
    if (!parsed) {
        std::fprintf(stderr, "usage: startup_probe [--runs N] [--settle-ms MS] [--timeout-ms MS]\n"
                             "                     --window TITLE PROGRAM [--window TITLE PROGRAM ...]\n");
        return 2;
    }
    Options o = *parsed;
    Display x;

    for (const Program& p : o.programs) // untimed: page cache, font caches
        runOnce(x, p, o);

    std::printf("%d runs each, ABBA order, settle %d ms\n", o.runs, o.settleMs);
    for (int round = 0; round < o.runs; ++round) {
        const std::size_t n = o.programs.size();
        for (std::size_t k = 0; k < n; ++k) {
            Program& p = o.programs[round % 2 == 0 ? k : n - 1 - k];
            const RunResult r = runOnce(x, p, o);
            p.wallMs.push_back(r.wallMs);
            p.peakRssKb.push_back(r.peakRssKb);
            p.cpuMs.push_back(r.cpuMs);
            std::printf("run %2d  %-24s %8.1f ms %8ld kB %8.1f ms CPU\n", round + 1, p.title.c_str(),
                        r.wallMs, r.peakRssKb, r.cpuMs);
            std::fflush(stdout);
        }
    }

    for (const Program& p : o.programs) {
        const auto [lo, hi] = std::minmax_element(p.wallMs.begin(), p.wallMs.end());
        std::printf("median \"%s\": wall_ms=%.1f peak_rss_kb=%.0f cpu_ms=%.1f (wall %.1f to %.1f ms)\n",
                    p.title.c_str(), median(p.wallMs), median(p.peakRssKb), median(p.cpuMs), *lo, *hi);
    }
    if (o.programs.size() >= 2) {
        const Program& a = o.programs.front();
        const Program& b = o.programs.back();
        std::printf("ratio \"%s\" / \"%s\": wall=%.3f peak_rss=%.3f cpu=%.3f\n", a.title.c_str(),
                    b.title.c_str(), median(a.wallMs) / median(b.wallMs),
                    median(a.peakRssKb) / median(b.peakRssKb), median(a.cpuMs) / median(b.cpuMs));
    }
    return 0;
}
