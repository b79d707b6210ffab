// Time to first frame, measured from outside the program: starts each program under test on
// the X server in DISPLAY, notes the moment before it is spawned, waits for its top-level
// window to be mapped, then watches that window (DAMAGE events, and a short poll besides)
// until its pixels equal one of the pictures the window settles to. Those pictures are taken
// once per program, before the measured runs, well after start-up: a blinking caret gives
// more than one. At the first matching frame it reads the program's resident and private
// dirty memory from /proc/PID/smaps_rollup, then ends the program.
//
//   firstframe [--runs N] [--verbose] LABEL=PROGRAM...
//
// The programs run interleaved, in alternating order from one round to the next. Prints a
// Markdown table of medians with min–max, and the ratios of every program to the first.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;
using Image = std::vector<std::uint8_t>;

struct Sample
{
    double milliseconds = 0;
    double mappedMilliseconds = 0; // when the window was mapped, for --verbose
    double cpuMilliseconds = 0; // run time of all the program's threads
    long residentKiB = 0;
    long privateDirtyKiB = 0;
};

struct Program
{
    std::string label;
    std::string path;
    std::vector<Image> settled; // every picture the window was seen to settle to
    std::vector<Sample> samples;
};

struct Display
{
    xcb_connection_t *connection = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t pidAtom = 0;
    std::uint8_t damageEvent = 0;
};

[[noreturn]] void fail(const std::string &message)
{
    std::fprintf(stderr, "firstframe: %s\n", message.c_str());
    std::exit(1);
}

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

Display openDisplay()
{
    Display display;
    int screenNumber = 0;
    display.connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(display.connection)) {
        fail("cannot connect to the X server in DISPLAY");
    }
    auto screens = xcb_setup_roots_iterator(xcb_get_setup(display.connection));
    for (int i = 0; i < screenNumber; ++i) {
        xcb_screen_next(&screens);
    }
    display.root = screens.data->root;

    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(display.connection, display.root, XCB_CW_EVENT_MASK, &mask);

    const char *pidName = "_NET_WM_PID";
    auto atom =
        xcb_intern_atom(display.connection, 0, std::uint16_t(std::strlen(pidName)), pidName);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atomReply(
        xcb_intern_atom_reply(display.connection, atom, nullptr), &std::free);
    if (!atomReply) {
        fail("cannot intern _NET_WM_PID");
    }
    display.pidAtom = atomReply->atom;

    const auto *damage = xcb_get_extension_data(display.connection, &xcb_damage_id);
    if (damage == nullptr || !damage->present) {
        fail("the X server has no DAMAGE extension");
    }
    display.damageEvent = damage->first_event;
    std::unique_ptr<xcb_damage_query_version_reply_t, decltype(&std::free)> version(
        xcb_damage_query_version_reply(display.connection,
                                       xcb_damage_query_version(display.connection, 1, 1), nullptr),
        &std::free);
    if (!version) {
        fail("cannot use the DAMAGE extension");
    }
    xcb_flush(display.connection);
    return display;
}

// Waits up to the given time for the X connection to have something to read.
void waitForEvents(const Display &display, int milliseconds)
{
    pollfd descriptor {xcb_get_file_descriptor(display.connection), POLLIN, 0};
    while (::poll(&descriptor, 1, milliseconds) < 0 && errno == EINTR) { }
}

std::optional<std::uint32_t> windowPid(const Display &display, xcb_window_t window)
{
    auto cookie =
        xcb_get_property(display.connection, 0, window, display.pidAtom, XCB_ATOM_CARDINAL, 0, 1);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(display.connection, cookie, nullptr), &std::free);
    if (!reply || xcb_get_property_value_length(reply.get()) != 4) {
        return std::nullopt;
    }
    std::uint32_t pid = 0;
    std::memcpy(&pid, xcb_get_property_value(reply.get()), sizeof pid);
    return pid;
}

bool exited(pid_t pid)
{
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == pid;
}

// The top-level window that the given process maps, once it is mapped.
xcb_window_t waitForMappedWindow(const Display &display, pid_t pid, const std::string &label)
{
    const auto start = Clock::now();
    while (millisecondsSince(start) < 10000) {
        while (auto *event = xcb_poll_for_event(display.connection)) {
            std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
            if ((event->response_type & 0x7F) != XCB_MAP_NOTIFY) {
                continue;
            }
            const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
            if (!map->override_redirect && windowPid(display, map->window) == std::uint32_t(pid)) {
                return map->window;
            }
        }
        if (exited(pid)) {
            fail(label + " exited before showing its window");
        }
        waitForEvents(display, 5);
    }
    fail(label + " showed no window within 10 s");
}

Image grab(const Display &display, xcb_window_t window)
{
    auto geometryCookie = xcb_get_geometry(display.connection, window);
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(display.connection, geometryCookie, nullptr), &std::free);
    if (!geometry) {
        return {};
    }
    auto imageCookie = xcb_get_image(display.connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                     geometry->width, geometry->height, ~0U);
    std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> reply(
        xcb_get_image_reply(display.connection, imageCookie, nullptr), &std::free);
    if (!reply) {
        return {};
    }
    const auto *data = xcb_get_image_data(reply.get());
    Image image(data, data + xcb_get_image_data_length(reply.get()));
    // The size is part of the picture.
    for (const auto value : {geometry->width, geometry->height}) {
        image.push_back(std::uint8_t(value & 0xFF));
        image.push_back(std::uint8_t(value >> 8));
    }
    return image;
}

pid_t spawn(const Program &program)
{
    pid_t pid = 0;
    char *const argv[] = {const_cast<char *>(program.path.c_str()), nullptr};
    if (const int error = posix_spawn(&pid, program.path.c_str(), nullptr, nullptr, argv, environ);
        error != 0) {
        fail("cannot start " + program.path + ": " + std::strerror(error));
    }
    return pid;
}

void stop(const Display &display, pid_t pid)
{
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    // Let the server forget the window before the next program starts.
    std::unique_ptr<xcb_get_input_focus_reply_t, decltype(&std::free)> sync(
        xcb_get_input_focus_reply(display.connection, xcb_get_input_focus(display.connection),
                                  nullptr),
        &std::free);
    while (auto *event = xcb_poll_for_event(display.connection)) {
        std::free(event);
    }
}

// The time every thread of the process has spent on a CPU so far.
double cpuMilliseconds(pid_t pid)
{
    const auto tasks = "/proc/" + std::to_string(pid) + "/task";
    double total = 0;
    if (auto *directory = ::opendir(tasks.c_str())) {
        while (const auto *entry = ::readdir(directory)) {
            if (entry->d_name[0] == '.') {
                continue;
            }
            std::ifstream schedstat(tasks + "/" + entry->d_name + "/schedstat");
            double nanoseconds = 0;
            if (schedstat >> nanoseconds) {
                total += nanoseconds / 1e6;
            }
        }
        ::closedir(directory);
    }
    return total;
}

void readMemory(pid_t pid, Sample &sample)
{
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string line;
    while (std::getline(rollup, line)) {
        std::istringstream fields(line);
        std::string key;
        long kib = 0;
        if (!(fields >> key >> kib)) {
            continue; // the heading line
        }
        if (key == "Rss:") {
            sample.residentKiB = kib;
        } else if (key == "Private_Dirty:") {
            sample.privateDirtyKiB = kib;
        }
    }
}

// Runs the program once and keeps every distinct picture its window shows between 0.4 s
// and 1.6 s after it was mapped.
void calibrate(const Display &display, Program &program)
{
    const auto pid = spawn(program);
    const auto window = waitForMappedWindow(display, pid, program.label);
    const auto mapped = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    while (millisecondsSince(mapped) < 1600) {
        auto image = grab(display, window);
        if (!image.empty() &&
            std::find(program.settled.begin(), program.settled.end(), image) ==
                program.settled.end()) {
            program.settled.push_back(std::move(image));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    stop(display, pid);
    if (program.settled.empty()) {
        fail("could not take a picture of " + program.label);
    }
}

Sample measure(const Display &display, const Program &program)
{
    const auto start = Clock::now();
    const auto pid = spawn(program);
    const auto window = waitForMappedWindow(display, pid, program.label);
    Sample sample;
    sample.mappedMilliseconds = millisecondsSince(start);

    const auto damage = xcb_generate_id(display.connection);
    xcb_damage_create(display.connection, damage, window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
    for (;;) {
        // Clear the damage first, so that a change during the grab is still reported.
        xcb_damage_subtract(display.connection, damage, XCB_NONE, XCB_NONE);
        const auto image = grab(display, window);
        if (std::find(program.settled.begin(), program.settled.end(), image) !=
            program.settled.end()) {
            sample.milliseconds = millisecondsSince(start);
            break;
        }
        if (millisecondsSince(start) > 10000) {
            fail(program.label + " never showed its settled picture within 10 s");
        }
        // Damage says when the window changed; the poll is a safety net.
        waitForEvents(display, 2);
        while (auto *event = xcb_poll_for_event(display.connection)) {
            std::free(event);
        }
    }
    sample.cpuMilliseconds = cpuMilliseconds(pid);
    readMemory(pid, sample);
    xcb_damage_destroy(display.connection, damage);
    stop(display, pid);
    return sample;
}

struct Summary
{
    double median;
    double min;
    double max;
};

Summary summarise(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const auto n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

std::string format(const Summary &summary, int decimals)
{
    char text[96];
    std::snprintf(text, sizeof text, "%.*f (%.*f–%.*f)", decimals, summary.median, decimals,
                  summary.min, decimals, summary.max);
    return text;
}

template<typename Field> std::vector<double> column(const Program &program, Field field)
{
    std::vector<double> values;
    for (const auto &sample : program.samples) {
        values.push_back(double(sample.*field));
    }
    return values;
}

void printTable(const std::vector<Program> &programs, int runs)
{
    std::printf("\nStart-up under Xvfb, %d interleaved runs of each program; median (min–max)\n\n",
                runs);
    std::printf("| figure |");
    for (const auto &program : programs) {
        std::printf(" %s |", program.label.c_str());
    }
    for (std::size_t i = 1; i < programs.size(); ++i) {
        std::printf(" %s / %s |", programs[i].label.c_str(), programs[0].label.c_str());
    }
    std::printf("\n|---|");
    for (std::size_t i = 0; i < 2 * programs.size() - 1; ++i) {
        std::printf("---|");
    }
    std::printf("\n");

    const auto row = [&](const char *name, auto field, int decimals) {
        std::printf("| %s |", name);
        std::vector<Summary> summaries;
        for (const auto &program : programs) {
            summaries.push_back(summarise(column(program, field)));
            std::printf(" %s |", format(summaries.back(), decimals).c_str());
        }
        for (std::size_t i = 1; i < programs.size(); ++i) {
            // Run k of one program is paired with run k of the first, started next to it.
            const auto base = column(programs[0], field);
            const auto other = column(programs[i], field);
            std::vector<double> ratios;
            for (std::size_t k = 0; k < base.size(); ++k) {
                ratios.push_back(other[k] / base[k]);
            }
            std::printf(" %.2f× (paired %s) |", summaries[i].median / summaries[0].median,
                        format(summarise(ratios), 2).c_str());
        }
        std::printf("\n");
    };
    row("time to first frame, ms", &Sample::milliseconds, 1);
    row("CPU time to first frame, ms", &Sample::cpuMilliseconds, 1);
    row("resident memory, KiB", &Sample::residentKiB, 0);
    row("private dirty memory, KiB", &Sample::privateDirtyKiB, 0);
    std::printf("\n");
}

} // namespace

int main(int argc, char *argv[])
{
    int runs = 30;
    bool verbose = false;
    std::vector<Program> programs;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (argument == "--verbose") {
            verbose = true;
        } else if (const auto equals = argument.find('='); equals != std::string::npos) {
            programs.push_back({argument.substr(0, equals), argument.substr(equals + 1), {}, {}});
        } else {
            fail("usage: firstframe [--runs N] [--verbose] LABEL=PROGRAM...");
        }
    }
    if (programs.empty()) {
        fail("no program to measure");
    }

    const auto display = openDisplay();
    for (auto &program : programs) {
        calibrate(display, program);
        std::fprintf(stderr, "%s settles to %zu picture(s)\n", program.label.c_str(),
                     program.settled.size());
        // One unmeasured run each, so that every program starts from warm caches.
        measure(display, program);
    }
    for (int round = 0; round < runs; ++round) {
        for (std::size_t k = 0; k < programs.size(); ++k) {
            auto &program = programs[round % 2 ? programs.size() - 1 - k : k];
            program.samples.push_back(measure(display, program));
            if (verbose) {
                const auto &sample = program.samples.back();
                std::fprintf(stderr,
                             "%3d %-12s mapped %7.2f ms, painted %7.2f ms, CPU %7.2f ms, %7ld KiB "
                             "%7ld KiB\n",
                             round, program.label.c_str(), sample.mappedMilliseconds,
                             sample.milliseconds, sample.cpuMilliseconds, sample.residentKiB,
                             sample.privateDirtyKiB);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    printTable(programs, runs);
    xcb_disconnect(display.connection);
    return 0;
}
