#pragma once
// The small bar graph of a site tile: a child window showing the last ten round-trip
// times as bars, newest on the right.

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

#include "ui/tiles/GraphBars.h"
#include "ui/tiles/TileFonts.h"
#include "ui/base/GdiHandles.h"
#include "ui/base/PropertyBag.h"
#include "ui/base/Window.h"

namespace corvale {

class cltGraph : public Window {
public:
    // A child window of `parent`; geometry in twips of the parent.
    cltGraph(HWND parent, float leftTwips, float topTwips, float widthTwips = kGraphWidthTwips,
             float heightTwips = kGraphHeightTwips);
    cltGraph(const cltGraph&) = delete;
    cltGraph& operator=(const cltGraph&) = delete;
    ~cltGraph() override = default;

    float Left() const { return left_; }
    float Top() const { return top_; }
    // Places and draws the graph again at its window's scale, which has changed.
    void Rescale();

    uint32_t BackColor() const { return properties_.backColor; }
    void SetBackColor(uint32_t colour);
    uint32_t ForeColor() const { return properties_.foreColor; }
    void SetForeColor(uint32_t colour);
    bool Enabled() const { return properties_.enabled; }
    void SetEnabled(bool enabled);
    const FontSpec& GetFont() const { return properties_.font; }
    void SetFont(const FontSpec& font);
    int16_t BackStyle() const { return properties_.backStyle; }
    void SetBackStyle(int16_t style);
    int16_t BorderStyle() const { return properties_.borderStyle; }
    void SetBorderStyle(int16_t style);

    // Scrolls the history one place to the left, puts `newVal` in as the newest and redraws.
    void AddItem(int32_t& newVal);
    // Replaces the whole history (a site's graph shown on another tile) and redraws.
    void SetHistory(const ResponseHistory& history);
    // Sets every bar's position, height and colour from the history.
    void RePaint();
    // Redraws the window now.
    void Refresh();

    int32_t Value(int index) const { return history_[index]; }
    const BarShape& Bar(int index) const { return bars_[static_cast<std::size_t>(index)]; }

    void ReadProperties(const PropertyBag& bag, const FontSpec& containerFont);
    void WriteProperties(PropertyBag& bag, const FontSpec& containerFont) const;

    // Events of the graph's surface. Coordinates are twips of the graph.
    std::function<void()> Click;
    std::function<void()> DblClick;
    std::function<void(int16_t& keyCode, int16_t& shift)> KeyDown;
    std::function<void(int16_t& keyAscii)> KeyPress;
    std::function<void(int16_t& keyCode, int16_t& shift)> KeyUp;
    MouseHandler MouseDown;
    MouseHandler MouseMove;
    MouseHandler MouseUp;
    // Told the name of every property a setter changes, so the container saves it.
    std::function<void(std::string_view property)> PropertyChanged;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;
    bool OnMouse(const MouseEvent& event) override;
    void Changed(std::string_view property);
    void ApplyBorder();

    float left_, top_, width_, height_;
    GraphProperties properties_;
    Font font_;
    ResponseHistory history_;
    std::array<BarShape, kGraphBarCount> bars_;
    bool pressed_ = false;  // a left press inside, for Click
};

}  // namespace corvale
