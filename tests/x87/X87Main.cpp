// The test program of the x87 build: its arithmetic runs on the x87 unit at extended precision
// (64-bit significands), as a 32-bit host's thread may have set it before it calls the driver.
#include <fpu_control.h>
#include <gtest/gtest.h>

static_assert(__FLT_EVAL_METHOD__ == 2, "built for the x87 unit: intermediates kept at extended precision");

int main(int argc, char** argv) {
    fpu_control_t word;
    _FPU_GETCW(word);
    word = static_cast<fpu_control_t>((word & ~_FPU_EXTENDED) | _FPU_EXTENDED);
    _FPU_SETCW(word);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
