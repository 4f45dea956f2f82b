#include "model/PointerGaze.h"

#include <gtest/gtest.h>

// Eyes 10..20 and 30..40 wide, 10..20 high: the pair's centre is (25, 15).
TEST(PointerGaze, RoundsTheDirectionToTheNearestOfEight) {
    const RECT left = {10, 10, 20, 20};
    const RECT right = {30, 10, 40, 20};
    const struct {
        POINT point;
        Gaze gaze;
    } cases[] = {
        {{125, 15}, Gaze::Right},
        {{-75, 15}, Gaze::Left},
        {{25, -85}, Gaze::Up},
        {{25, 115}, Gaze::Down},
        {{125, -85}, Gaze::UpRight},
        {{-75, -85}, Gaze::UpLeft},
        {{-75, 115}, Gaze::DownLeft},
        {{125, 115}, Gaze::DownRight},
        // Either side of 22.5 degrees (tan = 0.4142): 41 up over 100 right, then 42.
        {{125, 15 - 41}, Gaze::Right},
        {{125, 15 - 42}, Gaze::UpRight},
        // Either side of 67.5 degrees: 100 up over 41 left, then 42.
        {{25 - 41, -85}, Gaze::Up},
        {{25 - 42, -85}, Gaze::UpLeft},
        // On an eye, or on the centre between them: straight ahead.
        {{10, 10}, Gaze::Centre},
        {{39, 19}, Gaze::Centre},
        {{25, 15}, Gaze::Centre},
        // Between the eyes but off the centre, and just outside an eye.
        {{25, 12}, Gaze::Up},
        {{40, 15}, Gaze::Right},
        {{20, 15}, Gaze::Left},
        // Far away keeps its direction.
        {{100000, 15}, Gaze::Right},
        {{-100000, -100000}, Gaze::UpLeft},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.gaze, GazeTowards(left, right, c.point)) << c.point.x << "," << c.point.y;
    }
}
