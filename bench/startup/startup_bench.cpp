// Start-up to the first shown window: each iteration starts a program as a
// new process and stops the clock when the X server maps its first top-level
// window (MapNotify on the root window), then ends the process. Needs an X
// display of its own (scripts/bench-startup.sh starts a private Xvfb): any
// other client mapping a window meanwhile would stop the clock early.
#include <benchmark/benchmark.h>

#include <xcb/xcb.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct XcbDisconnect {
    void operator()(xcb_connection_t* c) const noexcept { xcb_disconnect(c); }
};
using Connection = std::unique_ptr<xcb_connection_t, XcbDisconnect>;

// Watches the root window for top-level windows being mapped.
[[nodiscard]] Connection watchRoot()
{
    Connection c(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(c.get()) != 0)
        return nullptr;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c.get())).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c.get(), root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c.get());
    return c;
}

// Blocks until a top-level window is mapped; false if the connection fails.
[[nodiscard]] bool waitForMap(xcb_connection_t* c)
{
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY;
        std::free(event);
        if (mapped)
            return true;
    }
    return false;
}

// A round trip, so that every event of the ended process has arrived, then
// drop them all: the next start must wait for a map of its own.
void discardPendingEvents(xcb_connection_t* c)
{
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    while (xcb_generic_event_t* event = xcb_poll_for_event(c))
        std::free(event);
}

void endProcess(pid_t pid)
{
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
}

void startUp(benchmark::State& state, const std::string& program, const std::string& option)
{
    const Connection c = watchRoot();
    if (!c) {
        state.SkipWithError("no X display (run scripts/bench-startup.sh)");
        return;
    }
    for (auto _ : state) {
        std::array<char*, 3> argv{const_cast<char*>(program.c_str()),
                                  option.empty() ? nullptr : const_cast<char*>(option.c_str()),
                                  nullptr};
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError(("cannot start " + program).c_str());
            return;
        }
        const bool mapped = waitForMap(c.get());
        const auto stop = std::chrono::steady_clock::now();
        endProcess(pid);
        if (!mapped) {
            state.SkipWithError("lost the X connection");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        discardPendingEvents(c.get());
    }
}

} // namespace

BENCHMARK_CAPTURE(startUp, BareQtWindow, std::string(TUBEBRIDGE_BARE_WINDOW), std::string())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(startUp, BareQtWindowWithText, std::string(TUBEBRIDGE_BARE_WINDOW),
                  std::string("--text"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(startUp, Tubebridge, std::string(TUBEBRIDGE_PROGRAM), std::string())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

BENCHMARK_MAIN();
