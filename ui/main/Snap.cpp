#include "ui/main/Snap.h"

namespace corvale {

WindowBounds SnapToArea(WindowBounds w, WindowBounds area, int32_t tolerance) {
    // Relative to the area, as on a screen whose top-left corner is at 0, 0.
    w.left -= area.left;
    w.top -= area.top;
    const float tol = static_cast<float>(tolerance);
    if (w.left < tol) w.left = 0;
    if (w.top < tol) w.top = 0;
    // The bound in double precision, rounded to single as it is compared.
    float bound = static_cast<float>((static_cast<double>(area.width) - w.width) - tolerance);
    if (bound < w.left) w.left = area.width - w.width;
    bound = static_cast<float>((static_cast<double>(area.height) - w.height) - tolerance);
    if (bound < w.top) w.top = area.height - w.height;
    w.left += area.left;
    w.top += area.top;
    return w;
}

}  // namespace corvale
