#include "model/PointerGaze.h"

#include <algorithm>
#include <cmath>

namespace {

// The directions counter-clockwise from the right, 45 degrees apart, with y pointing up.
constexpr Gaze kAround[] = {Gaze::Right, Gaze::UpRight,  Gaze::Up,   Gaze::UpLeft,
                            Gaze::Left,  Gaze::DownLeft, Gaze::Down, Gaze::DownRight};

bool Inside(const RECT& eye, POINT point) {
    return point.x >= eye.left && point.x < eye.right && point.y >= eye.top && point.y < eye.bottom;
}

}  // namespace

Gaze GazeTowards(const RECT& leftEye, const RECT& rightEye, POINT point) {
    if (Inside(leftEye, point) || Inside(rightEye, point)) {
        return Gaze::Centre;
    }
    // From twice the centre of the pair's box, so that it stays whole; y grows upwards here.
    const double dx = 2.0 * point.x - (std::min(leftEye.left, rightEye.left) +
                                       std::max(leftEye.right, rightEye.right));
    const double dy =
        (std::min(leftEye.top, rightEye.top) + std::max(leftEye.bottom, rightEye.bottom)) -
        2.0 * point.y;
    if (dx == 0 && dy == 0) {
        return Gaze::Centre;
    }
    constexpr double kPi = 3.14159265358979323846;
    const double sectors = std::atan2(dy, dx) / (kPi / 4);  // -4 to 4, 0 to the right
    const int sector = static_cast<int>(std::floor(sectors + 0.5));
    return kAround[(sector % 8 + 8) % 8];
}
