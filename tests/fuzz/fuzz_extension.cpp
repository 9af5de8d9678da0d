// libFuzzer target: GetFileExtension and FileExtensionText on any bytes as a path.
// Aborts on a broken property so that libFuzzer keeps the input.
#include "invariants.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string error = fuzzcheck::checkExtension(input);
    if (!error.empty()) {
        std::fprintf(stderr, "fuzz_extension: %s\n", error.c_str());
        std::abort();
    }
    return 0;
}
