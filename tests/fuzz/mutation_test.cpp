// Seeded mutations of the seed corpora: the same inputs on every run, so a
// failure is reproduced by running the test again; the input that broke a
// rule is written out for the fuzz target to replay.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>

#include "fuzz/reader_checks.h"

namespace vorlak {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Check = std::function<std::string(std::span<const std::uint8_t>)>;

std::vector<Bytes> seeds(const std::string& reader) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(VORLAK_FUZZ_CORPUS_DIR) / reader))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<Bytes> out;
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        out.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return out;
}

// One to four edits of the kinds that break readers: a flipped bit, a byte
// or a 16- or 32-bit field set to a boundary value (most often in the first
// 64 bytes, where the headers are), a range cut out or repeated, the end cut
// off, or the tail of another seed spliced on.
Bytes mutate(Bytes input, const std::vector<Bytes>& corpus, std::mt19937& random) {
    const auto below = [&](std::size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    const std::uint32_t boundaries[] = {0, 1, 2, 3, 4, 8, 16, 0x7F, 0x80, 0xFF, 0x100, 0x7FFF, 0x8000, 0xFFFF,
                                        0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFE};
    for (std::size_t edits = 1 + below(4); edits > 0; --edits) {
        if (input.empty()) input.push_back(0);
        const std::size_t at = below(4) ? below(std::min<std::size_t>(input.size(), 64)) : below(input.size());
        switch (below(7)) {
            case 0: input[at] ^= static_cast<std::uint8_t>(1u << below(8)); break;
            case 1: input[at] = static_cast<std::uint8_t>(boundaries[below(std::size(boundaries))]); break;
            case 2:
            case 3: {
                std::uint32_t value = boundaries[below(std::size(boundaries))];
                if (below(3) == 0) value = static_cast<std::uint32_t>(input.size() + below(9) - 4);
                for (std::size_t i = 0, width = below(2) ? 4 : 2; i < width && at + i < input.size(); ++i)
                    input[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
                break;
            }
            case 4: input.erase(input.begin() + at, input.begin() + at + below(std::min<std::size_t>(input.size() - at, 16) + 1)); break;
            case 5: {
                const std::size_t length = below(std::min<std::size_t>(input.size() - at, 16) + 1);
                const Bytes copy(input.begin() + at, input.begin() + at + length);
                input.insert(input.begin() + at, copy.begin(), copy.end());
                break;
            }
            default: {
                const Bytes& other = corpus[below(corpus.size())];
                input.resize(at);
                const std::size_t from = below(other.size() + 1);
                input.insert(input.end(), other.begin() + from, other.end());
            }
        }
    }
    return input;
}

void runMutations(const std::string& reader, const Check& check, int count) {
    const std::vector<Bytes> corpus = seeds(reader);
    ASSERT_FALSE(corpus.empty()) << "no seeds for " << reader;
    for (const Bytes& seed : corpus) ASSERT_EQ(check(seed), "") << "a seed breaks a rule";
    std::mt19937 random(11);
    for (int i = 0; i < count; ++i) {
        const Bytes input = mutate(corpus[i % corpus.size()], corpus, random);
        const std::string broken = check(input);
        if (broken.empty()) continue;
        const fs::path saved = fs::temp_directory_path() / (reader + "-mutation-" + std::to_string(i));
        std::ofstream(saved, std::ios::binary).write(reinterpret_cast<const char*>(input.data()),
                                                     static_cast<std::streamsize>(input.size()));
        FAIL() << "mutation " << i << " breaks a rule: " << broken << " (input saved as " << saved << ")";
    }
}

TEST(SeededMutation, WaveReader) { runMutations("wave", checkWaveReader, 3000); }

#ifdef VORLAK_OUTLINE_CHECK
TEST(SeededMutation, OutlineReader) { runMutations("outline", checkOutlineReader, 3000); }
#endif

}  // namespace
}  // namespace vorlak
