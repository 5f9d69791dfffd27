// Headless speed: the vorlak-scenario tool playing a whole five-level game,
// wall-clock from starting the process to its exit, beside the same tool
// running a script that only switches the console on. Also the game alone,
// in-process, through the runner library the tool is built from.
//
// Usage: bench-headless [--runs N]   (default 30)
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include "bench/common/bench_common.h"
#include "tools/scenario/scenario.h"

namespace {

using namespace vorlak::bench;

double nowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Wall-clock of one run of the tool; negative when it failed.
double runTool(const char* script) {
    const double start = nowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        const int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, STDOUT_FILENO);
        alarm(20);  // a runner that hangs must not hang the bench
        execl(SCENARIO_TOOL, SCENARIO_TOOL, script, static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double elapsed = nowMs() - start;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? elapsed : -1;
}

std::string readFile(const char* path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = intOption(argc, argv, "--runs", 30);
    std::vector<double> game, idle, inProcess;
    int failures = 0;
    const std::string script = readFile(GAME_SCRIPT);
    for (int i = 0; i < runs; ++i) {
        const double g = runTool(GAME_SCRIPT);
        const double b = runTool(IDLE_SCRIPT);
        if (g < 0 || b < 0) ++failures;
        if (g >= 0) game.push_back(g);
        if (b >= 0) idle.push_back(b);

        std::ostringstream out;
        const double start = nowMs();
        vorlak::scenario::Runner runner(out);
        const auto result = runner.runText(script);
        const double elapsed = nowMs() - start;
        if (result.ok)
            inProcess.push_back(elapsed);
        else
            std::fprintf(stderr, "bench-headless: %s\n", result.message.c_str()), ++failures;
    }
    const double median = percentile(game, 50), baseline = percentile(idle, 50);
    std::printf("five-level game, tool: median %.2f ms, max %.2f ms over %zu runs\n", median, maximum(game),
                game.size());
    std::printf("switched-on console only, tool: median %.2f ms\n", baseline);
    std::printf("five-level game, in-process: median %.3f ms\n", percentile(inProcess, 50));
    row("five-level game, headless (tool, median)", format("%.2f ms", median), format("%.2f ms", baseline),
        format("%+.2f ms", median - baseline), "< 50 ms", failures == 0 && median < 50.0);
    infoRow("five-level game, in-process runner (median)", format("%.3f ms", percentile(inProcess, 50)), "-", "-");
    return failures == 0 ? 0 : 1;
}
