// Pads merged into one joystick: the dead zone keeps full deflection exact, the merged positions
// read back through the joystick formula as exactly 0, -1 and +1, and any pad drives port 0.
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/platform/headless/headless_platform.h"
#include "engine/platform/pad_merge.h"

TEST(PadMerge, DeadZoneKeepsTheEndsExactAndTheRestInOrder) {
    for (float dz : {0.0f, 0.1f, 0.25f, 0.5f, 0.9f}) {
        EXPECT_EQ(ApplyDeadZone(1.0f, dz), 1.0f) << dz;
        EXPECT_EQ(ApplyDeadZone(-1.0f, dz), -1.0f) << dz;
        EXPECT_EQ(ApplyDeadZone(dz, dz), 0.0f) << dz;
        EXPECT_EQ(ApplyDeadZone(-dz, dz), 0.0f) << dz;
        float last = 0.0f;
        for (int i = 1; i <= 100; ++i) {
            const float v = ApplyDeadZone(float(i) / 100.0f, dz);
            EXPECT_GE(v, last) << dz << " at " << i;
            EXPECT_LE(v, 1.0f);
            last = v;
        }
    }
    // Past the dead zone the rest of the travel covers the whole range, with no jump at the edge.
    EXPECT_FLOAT_EQ(ApplyDeadZone(0.6f, 0.2f), 0.5f);
    EXPECT_FLOAT_EQ(ApplyDeadZone(-0.6f, 0.2f), -0.5f);
    EXPECT_LT(ApplyDeadZone(0.21f, 0.2f), 0.02f);
    EXPECT_EQ(StickFromRaw(-32768), -1.0f);
    EXPECT_EQ(StickFromRaw(32767), 1.0f);
    EXPECT_EQ(StickFromRaw(0), 0.0f);
    // Each side scales by its own reach: half way is exactly a half both ways, and one step short
    // of either end is not yet the end.
    EXPECT_EQ(StickFromRaw(-16384), -0.5f);
    EXPECT_GT(StickFromRaw(-32767), -1.0f);
    EXPECT_LT(StickFromRaw(32766), 1.0f);
    EXPECT_EQ(DpadOrStick(true, false, 0.5f), -1.0f);
    EXPECT_EQ(DpadOrStick(false, true, -0.5f), 1.0f);
    EXPECT_EQ(DpadOrStick(true, true, 0.5f), 0.0f);
    EXPECT_EQ(DpadOrStick(false, false, 0.5f), 0.5f);
}

TEST(PadMerge, AnyPadDrivesPortZeroAndTheGameReadsExactValues) {
    HeadlessPlatform host;
    EngineInit(&host);
    InputReset();

    host.SetJoystick(MergePads({}));
    ASSERT_EQ(CountJoysticks(), 1);
    EXPECT_EQ(JoyAxisX(0), 0.0f); // centred exactly, not "about 0"
    EXPECT_EQ(JoyAxisY(0), 0.0f);
    EXPECT_EQ(JoyButtonDown(0, 0), 0);

    PadReading idle, left, drifting;
    left.axis[0] = -1.0f;
    left.buttons = 1u << 2;
    drifting.axis[0] = 0.4f;
    drifting.axis[1] = 1.0f;
    drifting.buttons = 1u << 0;
    host.SetJoystick(MergePads({idle, drifting, left}));
    EXPECT_EQ(JoyAxisX(0), -1.0f); // the pad pushing furthest
    EXPECT_EQ(JoyAxisY(0), 1.0f);
    EXPECT_EQ(JoyButtonDown(0, 0), 1);
    EXPECT_EQ(JoyButtonDown(2, 0), 1);

    drifting.axis[0] = 1.0f;
    host.SetJoystick(MergePads({drifting, left})); // a tie: the first pad
    EXPECT_EQ(JoyAxisX(0), 1.0f);

    // Every pad gone: released and centred, nothing left held.
    host.SetJoystick(MergePads({}));
    EXPECT_EQ(JoyAxisX(0), 0.0f);
    EXPECT_EQ(JoyAxisY(0), 0.0f);
    EXPECT_EQ(JoyButtonDown(2, 0), 0);
    EngineShutdown();
}
