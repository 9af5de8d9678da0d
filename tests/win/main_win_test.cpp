// The Win32 tests run on one single-threaded COM apartment, as the program's
// window thread does, with the system's order of list texts, as the program.
#include "platform/handles_win.h"
#include "platform/platform_win.h"

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    useSystemCollation();
    const ComInitScope com = initializeCom(COINIT_APARTMENTTHREADED);
    if (!com) {
        std::fprintf(stderr, "CoInitializeEx failed: 0x%08lX\n", static_cast<unsigned long>(com.get()));
        return 1;
    }
    return RUN_ALL_TESTS();
}
