// The libFuzzer entry of one target; FUZZ_ENTRY names the target's function.
#include <clocale>

#include "fuzz_check.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::setlocale(LC_ALL, "C");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FUZZ_ENTRY(data, size);
}
