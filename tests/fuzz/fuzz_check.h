#pragma once
// What the fuzz targets share: the check that reports a broken property, a private temporary
// directory, and small helpers for files of fuzz bytes.

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Called when a property does not hold. The fuzzer's handler prints and aborts, so the input is
// kept as a crash; the replay test records a failure instead and goes on.
using FailureHandler = void (*)(const char* what, const char* file, int line);
void setFailureHandler(FailureHandler handler);
void fail(const char* what, const char* file, int line);

// A directory of this process (in /dev/shm, else /tmp), made on first use, removed at exit.
const std::string& scratchDir();
// Writes `size` bytes to `path`, replacing the file.
void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size);
std::string readFile(const std::string& path);

}  // namespace fuzz

#define FUZZ_CHECK(cond)                                    \
    do {                                                    \
        if (!(cond)) fuzz::fail(#cond, __FILE__, __LINE__); \
    } while (0)

// The targets: each takes one input and returns 0.
int fuzzMeasurementReply(const std::uint8_t* data, std::size_t size);
int fuzzParameterReply(const std::uint8_t* data, std::size_t size);
int fuzzSettingsFile(const std::uint8_t* data, std::size_t size);
int fuzzViewerLines(const std::uint8_t* data, std::size_t size);
int fuzzFormatLanguage(const std::uint8_t* data, std::size_t size);
