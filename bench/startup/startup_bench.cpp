// Start-up to the first frame after the window's layout: each iteration
// starts a program as a new process and stops the clock when the program
// reports that frame (bench/startup/StartupProbe.cpp, linked into both
// programs) on a pipe, with its peak memory until then; then it ends the
// process. Needs an X display with a window manager that maximises at once
// (scripts/bench-startup.sh starts a private Xvfb with openbox).
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int ReportTimeoutMs = 20000;

// The environment with the probe's descriptor added.
std::vector<std::string> probedEnvironment(int fd)
{
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
        env.emplace_back(*e);
    env.push_back("TUBEBRIDGE_STARTUP_FD=" + std::to_string(fd));
    return env;
}

// Reads the report line "frame <KiB>"; the peak in KiB, or -1 when none came.
long readReport(int fd)
{
    pollfd ready{fd, POLLIN, 0};
    std::string line;
    char c = 0;
    while (poll(&ready, 1, ReportTimeoutMs) == 1 && read(fd, &c, 1) == 1 && c != '\n')
        line += c;
    if (line.rfind("frame ", 0) != 0)
        return -1;
    return std::strtol(line.c_str() + 6, nullptr, 10);
}

void endProcess(pid_t pid)
{
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
}

void startUp(benchmark::State& state, const std::string& program)
{
    double peakKib = 0.0;
    for (auto _ : state) {
        std::array<int, 2> pipeEnds{};
        if (pipe(pipeEnds.data()) != 0) {
            state.SkipWithError("no pipe");
            return;
        }
        std::vector<std::string> env = probedEnvironment(pipeEnds[1]);
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::array<char*, 2> argv{const_cast<char*>(program.c_str()), nullptr};

        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        const int spawned =
            posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), envp.data());
        close(pipeEnds[1]);
        if (spawned != 0) {
            close(pipeEnds[0]);
            state.SkipWithError(("cannot start " + program).c_str());
            return;
        }
        const long kib = readReport(pipeEnds[0]);
        const auto stop = std::chrono::steady_clock::now();
        close(pipeEnds[0]);
        endProcess(pid);
        if (kib < 0) {
            state.SkipWithError("no frame after the layout reported (no X display? run "
                                "scripts/bench-startup.sh)");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        peakKib += static_cast<double>(kib);
    }
    state.counters["peak_MiB"] =
        benchmark::Counter(peakKib / 1024.0, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK_CAPTURE(startUp, BareQtProgram, std::string(TUBEBRIDGE_BARE_PROGRAM))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(startUp, Tubebridge, std::string(TUBEBRIDGE_PROBED_PROGRAM))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

BENCHMARK_MAIN();
