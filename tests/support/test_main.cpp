// Every test binary runs the library headless: memory bitmaps, fixed-point
// maths and the loaders work; there is no display, timer or input driver.
#include "platform/platform.h"

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    testing::InitGoogleTest(&argc, argv);
    qv::platform::init_headless();
    return RUN_ALL_TESTS();
}
