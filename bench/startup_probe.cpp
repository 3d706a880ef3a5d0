// Start-up time as the X server sees it: from spawning a program to the map of
// its first top-level window, and to the moment one pixel of that window shows
// a given colour (for pasdraw the white canvas frame at client pixel (0, 100)),
// that is, to the first paint that reached the screen.
//
// Usage: startup_probe [--runs N] [--warmup N] [--pixel X,Y] [--colour RRGGBB]
//                      [--timeout-ms T] -- program [arguments]
//
// Run it on a display of its own whose root is black (Xvfb -br): the pixel is
// read from the root window at the mapped window's position, so a root pattern
// could show the colour before the program paints. Prints one line per run on
// stderr and, on stdout, "map_ms", "paint_ms" and "cpu_ms" (the processor time
// the program used, all threads, until it was ended just after the paint)
// lines with the median, minimum and maximum over the counted runs.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    int runs = 10;
    int warmup = 1;
    int pixelX = 0;
    int pixelY = 100;
    uint32_t colour = 0xFFFFFF;
    int timeoutMs = 10000;
    std::vector<char*> command;
};

[[noreturn]] void die(const std::string& message) {
    std::fprintf(stderr, "startup_probe: %s\n", message.c_str());
    std::exit(1);
}

Options parse(int argc, char** argv) {
    Options o;
    int i = 1;
    const auto value = [&](const char* name) -> std::string {
        if (i + 1 >= argc) die(std::string("missing value after ") + name);
        return argv[++i];
    };
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--") {
            ++i;
            break;
        }
        if (a == "--runs") {
            o.runs = std::stoi(value("--runs"));
        } else if (a == "--warmup") {
            o.warmup = std::stoi(value("--warmup"));
        } else if (a == "--pixel") {
            const std::string v = value("--pixel");
            if (std::sscanf(v.c_str(), "%d,%d", &o.pixelX, &o.pixelY) != 2) die("--pixel wants X,Y");
        } else if (a == "--colour") {
            o.colour = static_cast<uint32_t>(std::stoul(value("--colour"), nullptr, 16));
        } else if (a == "--timeout-ms") {
            o.timeoutMs = std::stoi(value("--timeout-ms"));
        } else {
            die("unknown option " + a);
        }
    }
    for (; i < argc; ++i) o.command.push_back(argv[i]);
    if (o.command.empty()) die("no program given after --");
    if (o.runs < 1 || o.warmup < 0) die("--runs must be at least 1 and --warmup at least 0");
    o.command.push_back(nullptr);
    return o;
}

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

class Display {
public:
    Display() {
        int screenNumber = 0;
        conn_ = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(conn_)) die("cannot connect to the X display (is DISPLAY set?)");
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(conn_));
        for (int s = 0; s < screenNumber; ++s) xcb_screen_next(&it);
        root_ = it.data->root;
        lsbFirst_ = xcb_get_setup(conn_)->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
        // Maps and destructions of top-level windows arrive as events on the root.
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(conn_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(conn_);
    }
    ~Display() { xcb_disconnect(conn_); }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    void drainEvents() {
        while (xcb_generic_event_t* e = xcb_poll_for_event(conn_)) std::free(e);
    }

    // The next event, or none once the deadline has passed.
    Reply<xcb_generic_event_t> nextEvent(Clock::time_point deadline) {
        for (;;) {
            if (xcb_generic_event_t* e = xcb_poll_for_event(conn_)) return {e, &std::free};
            if (xcb_connection_has_error(conn_)) die("lost the X connection");
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return {nullptr, &std::free};
            pollfd p{xcb_get_file_descriptor(conn_), POLLIN, 0};
            poll(&p, 1, static_cast<int>(std::min<std::chrono::milliseconds::rep>(left.count(), 50)));
        }
    }

    // The window's top-left corner on the root.
    std::pair<int, int> origin(xcb_window_t w) {
        Reply<xcb_translate_coordinates_reply_t> r(
            xcb_translate_coordinates_reply(conn_, xcb_translate_coordinates(conn_, w, root_, 0, 0), nullptr),
            &std::free);
        if (!r) die("the mapped window vanished before its position was read");
        return {r->dst_x, r->dst_y};
    }

    // The 0xRRGGBB value of one root pixel, for the 24-bit TrueColor screens
    // Xvfb provides.
    std::optional<uint32_t> pixel(int x, int y) {
        Reply<xcb_get_image_reply_t> r(
            xcb_get_image_reply(conn_,
                                xcb_get_image(conn_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_,
                                              static_cast<int16_t>(x), static_cast<int16_t>(y), 1, 1, ~0u),
                                nullptr),
            &std::free);
        if (!r) return std::nullopt;
        const int n = std::min(xcb_get_image_data_length(r.get()), 4);
        const uint8_t* d = xcb_get_image_data(r.get());
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            const uint32_t byte = d[i];
            v |= lsbFirst_ ? byte << (8 * i) : byte << (8 * (n - 1 - i));
        }
        return v & 0xFFFFFFu;
    }

    xcb_window_t root() const { return root_; }

private:
    xcb_connection_t* conn_ = nullptr;
    xcb_window_t root_ = 0;
    bool lsbFirst_ = true;
};

struct Run {
    double mapMs;
    double paintMs;
    double cpuMs;  // up to the end, a millisecond or two after the paint was seen
};

double cpuMs(const rusage& u) {
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    return ms(u.ru_utime) + ms(u.ru_stime);
}

// Ends the program and returns the processor time it used, user and system,
// all its threads.
double stop(pid_t pid) {
    kill(pid, SIGTERM);
    rusage usage{};
    for (int i = 0; i < 200; ++i) {
        if (wait4(pid, nullptr, WNOHANG, &usage) == pid) return cpuMs(usage);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    wait4(pid, nullptr, 0, &usage);
    return cpuMs(usage);
}

Run once(Display& display, const Options& o) {
    display.drainEvents();
    const auto deadline = Clock::now() + std::chrono::milliseconds(o.timeoutMs);
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, o.command[0], nullptr, nullptr, o.command.data(), environ) != 0) {
        die(std::string("cannot start ") + o.command[0]);
    }
    const auto exited = [pid] { return waitpid(pid, nullptr, WNOHANG) == pid; };

    // The first top-level window the program maps (tooltips and menus are
    // override-redirect and do not count).
    xcb_window_t window = 0;
    while (window == 0) {
        auto e = display.nextEvent(deadline);
        if (!e) {
            if (exited()) die("the program exited before it mapped a window");
            stop(pid);
            die("no window was mapped in time");
        }
        if ((e->response_type & 0x7F) == XCB_MAP_NOTIFY) {
            const auto* m = reinterpret_cast<const xcb_map_notify_event_t*>(e.get());
            if (m->event == display.root() && m->override_redirect == 0) window = m->window;
        }
    }
    const Clock::time_point mapped = Clock::now();

    const auto [wx, wy] = display.origin(window);
    for (;;) {
        const std::optional<uint32_t> v = display.pixel(wx + o.pixelX, wy + o.pixelY);
        if (v && *v == o.colour) break;
        if (Clock::now() > deadline) {
            stop(pid);
            die("the pixel never showed the colour (last value " + (v ? std::to_string(*v) : "none") + ")");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const Clock::time_point painted = Clock::now();

    const double cpu = stop(pid);
    // The next run must not see this window: wait until the server has
    // destroyed it.
    const auto gone = Clock::now() + std::chrono::seconds(5);
    for (;;) {
        auto e = display.nextEvent(gone);
        if (!e) die("the window outlived its program");
        if ((e->response_type & 0x7F) == XCB_DESTROY_NOTIFY &&
            reinterpret_cast<const xcb_destroy_notify_event_t*>(e.get())->window == window) {
            break;
        }
    }
    return {ms(mapped - start), ms(painted - start), cpu};
}

void summary(const char* name, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    const double median = n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
    std::printf("%s median=%.1f min=%.1f max=%.1f runs=%zu\n", name, median, v.front(), v.back(), n);
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = parse(argc, argv);
    Display display;
    std::vector<double> maps, paints, cpus;
    for (int i = 0; i < o.warmup + o.runs; ++i) {
        const Run r = once(display, o);
        const bool counted = i >= o.warmup;
        std::fprintf(stderr, "%s %d: mapped %.1f ms, painted %.1f ms, processor time %.1f ms\n",
                     counted ? "run" : "warm-up", counted ? i - o.warmup + 1 : i + 1, r.mapMs, r.paintMs,
                     r.cpuMs);
        if (counted) {
            maps.push_back(r.mapMs);
            paints.push_back(r.paintMs);
            cpus.push_back(r.cpuMs);
        }
    }
    summary("map_ms", maps);
    summary("paint_ms", paints);
    summary("cpu_ms", cpus);
    return 0;
}
