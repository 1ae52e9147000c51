#include "ui/main/Snap.h"

namespace corvale {

WindowBounds SnapToScreen(WindowBounds w, float screenWidth, float screenHeight, int32_t tolerance) {
    const float tol = static_cast<float>(tolerance);
    if (w.left < tol) w.left = 0;
    if (w.top < tol) w.top = 0;
    // The bound in double precision, rounded to single as it is compared.
    float bound = static_cast<float>((static_cast<double>(screenWidth) - w.width) - tolerance);
    if (bound < w.left) w.left = screenWidth - w.width;
    bound = static_cast<float>((static_cast<double>(screenHeight) - w.height) - tolerance);
    if (bound < w.top) w.top = screenHeight - w.height;
    return w;
}

}  // namespace corvale
