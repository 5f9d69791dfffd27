// The libFuzzer entry point of one reader's check, chosen at build time.
#include <cstdio>
#include <cstdlib>

#include "fuzz/reader_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string broken = vorlak::VORLAK_FUZZ_CHECK({data, size});
    if (!broken.empty()) {
        std::fprintf(stderr, "broken rule: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
