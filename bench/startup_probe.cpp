// Start-up of window programs as a user sees it, measured from outside.
//
//   startup_probe [--runs N] [--timeout-ms MS] [--runtime-base DIR]
//                 --window TITLE PROGRAM [--window TITLE PROGRAM ...]
//
// Each run forks and executes PROGRAM and watches the X server (DISPLAY).
// Every window created there gets a DAMAGE object (the X Damage extension)
// as soon as the CreateNotify arrives, so no drawing into it can go unseen.
// Two moments are taken on CLOCK_MONOTONIC, counted from just before the
// fork:
//   mapped       the MapNotify of a top-level window of that process titled
//                TITLE;
//   first paint  the first DamageNotify on that window after it was mapped,
//                i.e. the first frame the program drew into it.
// At the first paint the probe reads what the process has used so far: its
// CPU time, from the process's CPU clock (clock_getcpuclockid: nanoseconds
// on a CPU, summed over all its threads, ended ones included), and its peak
// resident memory, VmHWM of /proc/PID/status. The program is then ended with
// SIGTERM (SIGKILL if it lingers) and reaped.
//
// The programs take turns, in an ABBA order so that neither always runs
// right after the other, after one untimed run each that fills the page
// cache. Every run gets a fresh private XDG_RUNTIME_DIR (mode 0700) on a
// tmpfs below DIR (default /dev/shm), where a desktop keeps /run/user/UID
// and so the single-instance lock, and a fresh empty XDG_CONFIG_HOME, so no
// lock or settings file of one run reaches the next.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <fcntl.h>
#include <ftw.h>
#include <linux/magic.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

struct RunResult {
    double mappedMs;
    double paintMs;
    double cpuMs;   // all threads, up to the first paint
    double peakKb;  // VmHWM at the first paint
    std::string onDemand; // libraries Qt loads only when asked, loaded by the first paint
};

struct Program {
    std::string title;
    std::string path;
    std::vector<RunResult> runs;
};

struct Options {
    int runs = 20;
    int timeoutMs = 20000;
    std::string runtimeBase = "/dev/shm";
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
        if (*end != '\0' || v <= 0 || v > 1'000'000)
            return std::nullopt;
        return static_cast<int>(v);
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::optional<int> v;
        if (arg == "--runs" && (v = number(i)))
            o.runs = *v;
        else if (arg == "--timeout-ms" && (v = number(i)))
            o.timeoutMs = *v;
        else if (arg == "--runtime-base" && i + 1 < argc)
            o.runtimeBase = argv[++i];
        else if (arg == "--window" && i + 2 < argc) {
            o.programs.push_back({argv[i + 1], argv[i + 2], {}});
            i += 2;
        } else
            return std::nullopt;
    }
    if (o.programs.empty())
        return std::nullopt;
    return o;
}

// ------------------------------------------------------------------ X side

// What the X server has shown of one run's program so far.
struct Sighting {
    pid_t pid = 0;
    std::string title;
    xcb_window_t window = XCB_NONE; // its top-level window, once mapped
    double mappedAt = -1;
    double paintedAt = -1;
};

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
        const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c_, &xcb_damage_id);
        if (!damage || !damage->present)
            fail("the X server has no DAMAGE extension");
        damageNotify_ = static_cast<uint8_t>(damage->first_event + XCB_DAMAGE_NOTIFY);
        std::free(xcb_damage_query_version_reply(c_, xcb_damage_query_version(c_, 1, 1), nullptr));

        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
        for (int n = 0; n < screenNumber && it.rem > 0; ++n)
            xcb_screen_next(&it);
        netWmName_ = atom("_NET_WM_NAME");
        utf8String_ = atom("UTF8_STRING");
        netWmPid_ = atom("_NET_WM_PID");
        // Without a window manager Qt's top-level windows are children of the
        // root window, so their creation and mapping show up as substructure
        // events there; with one, the frame is created there and the client
        // inside it, so every new window's children are watched as well.
        watch(it.data->root);
        xcb_flush(c_);
    }
    ~Display() { xcb_disconnect(c_); }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    int fd() const { return xcb_get_file_descriptor(c_); }
    bool broken() const { return xcb_connection_has_error(c_) != 0; }

    // Handles the events that have arrived, noting in `s` the moments its
    // window was mapped and first drawn into.
    void update(Sighting& s)
    {
        while (xcb_generic_event_t* ev = xcb_poll_for_event(c_)) {
            const auto type = ev->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                const xcb_window_t w = reinterpret_cast<xcb_create_notify_event_t*>(ev)->window;
                watch(w);
                xcb_damage_create(c_, xcb_generate_id(c_), w, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                xcb_flush(c_);
            } else if (type == XCB_MAP_NOTIFY && s.mappedAt < 0) {
                const xcb_window_t w = reinterpret_cast<xcb_map_notify_event_t*>(ev)->window;
                if (isWindowOf(w, s.pid, s.title)) {
                    s.mappedAt = nowMs();
                    s.window = w;
                }
            } else if (type == damageNotify_ && s.mappedAt >= 0 && s.paintedAt < 0
                       && reinterpret_cast<xcb_damage_notify_event_t*>(ev)->drawable == s.window) {
                s.paintedAt = nowMs();
            }
            // Errors (a window gone before its DAMAGE object was made) are dropped.
            std::free(ev);
        }
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

    void watch(xcb_window_t window)
    {
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_, window, XCB_CW_EVENT_MASK, &mask);
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
    uint8_t damageNotify_ = 0;
    xcb_atom_t netWmName_ = XCB_ATOM_NONE;
    xcb_atom_t utf8String_ = XCB_ATOM_NONE;
    xcb_atom_t netWmPid_ = XCB_ATOM_NONE;
};

// ------------------------------------------------------------ process side

int removeEntry(const char* path, const struct stat*, int, FTW*) { return ::remove(path); }

// A fresh folder of mode 0700 in `parent`, removed with everything in it.
class PrivateFolder {
public:
    explicit PrivateFolder(const std::string& parent)
    {
        std::string pattern = parent + "/startup-probe-XXXXXX";
        if (!mkdtemp(pattern.data())) // mode 0700, as Qt wants of a runtime folder
            fail("cannot make a folder in " + parent + ": " + std::strerror(errno));
        path_ = pattern;
    }
    ~PrivateFolder() { nftw(path_.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS); }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::string temporaryFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

// CPU time of `pid` so far, in ms: the kernel's process CPU clock, which
// adds up all its threads, those that have already ended included.
double cpuMsSoFar(pid_t pid)
{
    clockid_t clock;
    timespec used{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &used) != 0)
        return 0;
    return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6;
}

double peakResidentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtod(line.c_str() + 6, nullptr);
    return 0;
}

// The libraries a program should only need later, as they are mapped into
// `pid` now: image and icon plug-ins, the SVG renderer, print support.
std::string onDemandLibraries(pid_t pid)
{
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::vector<std::string> seen;
    for (std::string line; std::getline(maps, line);) {
        const std::size_t slash = line.rfind('/');
        if (slash == std::string::npos)
            continue;
        const std::string name = line.substr(slash + 1);
        const bool later = line.find("/imageformats/") != std::string::npos
                           || line.find("/iconengines/") != std::string::npos
                           || name.rfind("libQt6Svg", 0) == 0 || name.rfind("libQt6PrintSupport", 0) == 0;
        if (later && std::find(seen.begin(), seen.end(), name) == seen.end())
            seen.push_back(name);
    }
    std::string list;
    for (const std::string& name : seen)
        list += (list.empty() ? "" : ",") + name;
    return list.empty() ? "none" : list;
}

// Ends `pid`: SIGTERM, then SIGKILL if it is still there after `graceMs`.
void endChild(pid_t pid, int graceMs)
{
    kill(pid, SIGTERM);
    int status = 0;
    for (const double until = nowMs() + graceMs; nowMs() < until; usleep(2000))
        if (waitpid(pid, &status, WNOHANG) != 0)
            return;
    kill(pid, SIGKILL);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

RunResult runOnce(Display& x, const Program& p, const Options& o)
{
    PrivateFolder runtime(o.runtimeBase);
    PrivateFolder config(temporaryFolder());
    Sighting s;
    s.title = p.title;
    const double start = nowMs();
    s.pid = fork();
    if (s.pid < 0)
        fail("fork: " + std::string(std::strerror(errno)));
    if (s.pid == 0) {
        setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
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

    for (x.update(s); s.paintedAt < 0; x.update(s)) {
        if (x.broken())
            fail("lost the connection to the X server");
        int status = 0;
        if (waitpid(s.pid, &status, WNOHANG) == s.pid)
            fail(p.path + " ended before it drew its window \"" + p.title + "\"");
        if (nowMs() - start > o.timeoutMs) {
            endChild(s.pid, 0);
            fail("no window \"" + p.title + "\" drawn within " + std::to_string(o.timeoutMs) + " ms");
        }
        pollfd pfd{x.fd(), POLLIN, 0};
        poll(&pfd, 1, 10);
    }
    const RunResult r{s.mappedAt - start, s.paintedAt - start, cpuMsSoFar(s.pid),
                      peakResidentKb(s.pid), onDemandLibraries(s.pid)};
    endChild(s.pid, 3000);
    Sighting none;
    x.update(none); // drop what the ending produced
    return r;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double medianOf(const Program& p, double RunResult::*field)
{
    std::vector<double> v;
    for (const RunResult& r : p.runs)
        v.push_back(r.*field);
    return median(v);
}

} // namespace

int main(int argc, char* argv[])
{
    const std::optional<Options> parsed = parseOptions(argc, argv);
    if (!parsed) {
        std::fprintf(stderr, "usage: startup_probe [--runs N] [--timeout-ms MS] [--runtime-base DIR]\n"
                             "                     --window TITLE PROGRAM [--window TITLE PROGRAM ...]\n");
        return 2;
    }
    Options o = *parsed;
    struct statfs fs {};
    if (statfs(o.runtimeBase.c_str(), &fs) != 0 || fs.f_type != TMPFS_MAGIC)
        fail(o.runtimeBase + " is not a tmpfs; pass one with --runtime-base");
    Display x;

    for (const Program& p : o.programs) // untimed: page cache, font caches
        runOnce(x, p, o);

    std::printf("%d runs each, ABBA order; ms from the fork, CPU and peak memory at the first paint\n",
                o.runs);
    for (int round = 0; round < o.runs; ++round) {
        const std::size_t n = o.programs.size();
        for (std::size_t k = 0; k < n; ++k) {
            Program& p = o.programs[round % 2 == 0 ? k : n - 1 - k];
            const RunResult r = runOnce(x, p, o);
            p.runs.push_back(r);
            std::printf("run %2d  %-24s mapped %7.1f ms  painted %7.1f ms  CPU %7.1f ms  %7.0f kB\n",
                        round + 1, p.title.c_str(), r.mappedMs, r.paintMs, r.cpuMs, r.peakKb);
            std::fflush(stdout);
        }
    }
    for (const Program& p : o.programs) {
        std::printf("median \"%s\": mapped_ms=%.1f paint_ms=%.1f cpu_ms=%.1f peak_kb=%.0f\n",
                    p.title.c_str(), medianOf(p, &RunResult::mappedMs),
                    medianOf(p, &RunResult::paintMs), medianOf(p, &RunResult::cpuMs),
                    medianOf(p, &RunResult::peakKb));
        std::printf("loaded by the first paint \"%s\": %s\n", p.title.c_str(),
                    p.runs.empty() ? "?" : p.runs.back().onDemand.c_str());
    }
    return 0;
}
