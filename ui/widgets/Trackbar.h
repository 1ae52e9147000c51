#pragma once
// A thin owner of a common-controls slider (trackbar): its range, tick spacing, steps and
// value, and a callback for every scroll the user makes. The slider reports to its parent;
// the parent hands each WM_HSCROLL on to OnParentScroll of the slider it names.

#include <windows.h>

#include <functional>

#include "ui/base/Twips.h"
#include "ui/base/Window.h"

namespace corvale {

class Trackbar {
public:
    // A horizontal slider with ticks below, as a tab stop, at a pixel box of `parent`.
    Trackbar(HWND parent, const PixelBox& box, int id);
    Trackbar(const Trackbar&) = delete;
    Trackbar& operator=(const Trackbar&) = delete;

    HWND hWnd() const { return window_.Get(); }

    void SetRange(int minimum, int maximum);
    void SetTickFrequency(int every);
    void SetSteps(int small, int large);
    // The control puts a value outside its range at the nearest end.
    void SetValue(int value);
    int GetValue() const;
    int Minimum() const;
    int Maximum() const;

    // Called with the new value whenever the user moves the slider (mouse or keys).
    std::function<void(int value)> Scrolled;

    // True when the message came from this slider (and the callback ran).
    bool OnParentScroll(WPARAM wParam, LPARAM lParam);

private:
    SystemWindow window_;
};

}  // namespace corvale
