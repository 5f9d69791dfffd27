// vorlak-scenario: plays the console in virtual time from a script.
#include <cstring>
#include <fstream>
#include <iostream>

#include "tools/scenario/scenario.h"

int main(int argc, char** argv) {
    bool trace = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::cout << vorlak::scenario::scriptHelp();
            return 0;
        }
        if (!std::strcmp(argv[i], "--trace")) {
            trace = true;
        } else if (!path) {
            path = argv[i];
        } else {
            std::cerr << "vorlak-scenario: one script at a time (see --help)\n";
            return 2;
        }
    }

    vorlak::scenario::Runner runner(std::cout);
    if (trace) runner.execute("trace on");
    vorlak::scenario::RunResult result;
    if (!path || !std::strcmp(path, "-")) {
        result = runner.run(std::cin);
    } else {
        std::ifstream file(path);
        if (!file) {
            std::cerr << "vorlak-scenario: cannot read " << path << '\n';
            return 2;
        }
        result = runner.run(file);
    }
    if (result.ok) return 0;
    std::cout << std::flush;
    std::cerr << (path ? path : "stdin") << ": " << result.message << '\n';
    return result.expectationFailed ? 1 : 2;
}
