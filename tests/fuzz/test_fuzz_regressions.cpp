// Every input kept under tests/fuzz/regressions/<target>/ (inputs that once broke a property)
// and every seed under tests/fuzz/seeds/<target>/, replayed through its fuzz target.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "fuzz_check.h"

namespace {

using Target = int (*)(const std::uint8_t*, std::size_t);

struct Named {
    const char* name;
    Target run;
};

const Named kTargets[] = {
    {"measurement_reply", fuzzMeasurementReply}, {"parameter_reply", fuzzParameterReply},
    {"settings_file", fuzzSettingsFile},         {"viewer_lines", fuzzViewerLines},
    {"format_language", fuzzFormatLanguage},
};

// gtest names a parameter by this, instead of dumping its bytes.
void PrintTo(const Named& target, std::ostream* os) { *os << target.name; }

std::string g_input;  // the input being replayed, for the failure message

void recordFailure(const char* what, const char* file, int line) {
    ADD_FAILURE_AT(file, line) << "property does not hold: " << what << "\n  input: " << g_input;
}

std::vector<std::filesystem::path> inputsOf(const std::string& folder, const char* target) {
    std::vector<std::filesystem::path> files;
    const std::filesystem::path dir =
        std::filesystem::path(TEVRAN_SOURCE_DIR) / "tests/fuzz" / folder / target;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
        if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

class FuzzInputs : public ::testing::TestWithParam<Named> {
  protected:
    void SetUp() override { fuzz::setFailureHandler(recordFailure); }
    void TearDown() override { fuzz::setFailureHandler(nullptr); }

    // Replays every file of `folder`; returns how many there were.
    std::size_t replay(const std::string& folder) {
        const auto files = inputsOf(folder, GetParam().name);
        for (const auto& f : files) {
            g_input = f.string();
            const std::string bytes = fuzz::readFile(f.string());
            GetParam().run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        }
        return files.size();
    }
};

TEST_P(FuzzInputs, KeptInputsAndSeedsHoldEveryProperty) {
    replay("regressions");
    EXPECT_GT(replay("seeds"), 0u) << "no seeds for " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzInputs, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
