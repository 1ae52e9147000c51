#include "ui/history/HistoryPlot.h"

#include <algorithm>
#include <string>
#include <vector>

#include "monitor/SiteHistory.h"
#include "ui/base/GdiHandles.h"
#include "ui/base/Twips.h"
#include "monitor/WideText.h"
#include "ui/history/HistoryBins.h"

namespace corvale {
namespace {

constexpr COLORREF kPlotBackColour = RGB(255, 255, 255);
constexpr COLORREF kFrameColour = RGB(160, 160, 160);
constexpr COLORREF kGridColour = RGB(232, 232, 232);
constexpr COLORREF kSlowLineColour = RGB(240, 150, 40);
constexpr COLORREF kSleepColour = RGB(214, 214, 214);
constexpr COLORREF kLostColour = RGB(222, 48, 48);
constexpr COLORREF kRangeColour = RGB(150, 185, 235);
constexpr COLORREF kLineColour = RGB(20, 90, 190);

struct Metrics {
    int pad = 0, tick = 0, textHeight = 0, valueWidth = 0;
};

SIZE TextSize(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

Metrics MetricsOf(HDC dc, const PlotInput& input, int dpi) {
    SelectScope font(dc, input.font);
    Metrics metrics;
    metrics.pad = TwipsToPixels(90, dpi);
    metrics.tick = TwipsToPixels(60, dpi);
    TEXTMETRICW text{};
    GetTextMetricsW(dc, &text);
    metrics.textHeight = text.tmHeight;
    // Room for the longest round trip the axis can show, so the plot keeps its place as it moves.
    metrics.valueWidth = TextSize(dc, Widen(input.format.Integer(88888) + " ms")).cx;
    return metrics;
}

RECT DataBox(const RECT& area, const Metrics& m) {
    return {area.left + m.valueWidth + 2 * m.pad, area.top + m.textHeight / 2 + m.pad, area.right - 2 * m.pad,
            area.bottom - m.textHeight - m.tick - 2 * m.pad};
}

void Fill(HDC dc, const RECT& box, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &box, nullptr, 0, nullptr);
}

void Text(HDC dc, int x, int y, const std::string& text, UINT align) {
    const std::wstring wide = Widen(text);
    SetTextAlign(dc, align);
    TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

class Plot {
public:
    Plot(HDC dc, const RECT& box, const PlotInput& input, const Metrics& metrics)
        : dc_(dc), box_(box), input_(input), metrics_(metrics), width_(box.right - box.left),
          height_(box.bottom - box.top) {}

    void Draw() {
        const PlotBins bins = BinResults(input_.history, input_.range, width_, input_.gapMs, input_.sleeps);
        const int maxSteps = std::clamp(height_ / std::max(2 * metrics_.textHeight, 1), 1, 6);
        axis_ = ValueAxisFor(bins.largestMs, maxSteps);
        Fill(dc_, box_, kPlotBackColour);
        for (const ColumnSpan& sleep : SleepColumns(input_.sleeps, input_.range, width_))
            Fill(dc_, {box_.left + sleep.from, box_.top, box_.left + sleep.to, box_.bottom}, kSleepColour);
        DrawGrid();
        DrawLost(bins);  // over the grid: a lost check at a label's time shows whole
        DrawReplies(bins);
        DrawFrame();
    }

private:
    int Y(int32_t ms) const {
        const int64_t above = static_cast<int64_t>(std::min(ms, axis_.topMs)) * height_ / std::max(axis_.topMs, 1);
        return box_.bottom - 1 - static_cast<int>(above);
    }

    void DrawLost(const PlotBins& bins) {
        for (int x = 0; x < width_; ++x) {
            const PlotColumn& column = bins.columns[static_cast<std::size_t>(x)];
            if (column.lost == 0) continue;
            // Hanging from the top, in proportion to the share lost: all lost fills the column.
            const int red = std::max(1, static_cast<int>(column.LostShare() * height_ + 0.5));
            Fill(dc_, {box_.left + x, box_.top, box_.left + x + 1, box_.top + red}, kLostColour);
        }
    }

    void Line(int x0, int y0, int x1, int y1) {
        MoveToEx(dc_, x0, y0, nullptr);
        LineTo(dc_, x1, y1);
    }

    void DrawGrid() {
        const Pen grid(CreatePen(PS_SOLID, 1, kGridColour));
        SelectScope pen(dc_, grid.Get());
        SetTextColor(dc_, GetSysColor(COLOR_WINDOWTEXT));
        SetBkMode(dc_, TRANSPARENT);
        SelectScope font(dc_, input_.font);
        for (int32_t ms = 0; ms <= axis_.topMs; ms += axis_.stepMs) {
            const int y = Y(ms);
            if (ms > 0) Line(box_.left, y, box_.right, y);
            Text(dc_, box_.left - metrics_.pad, y - metrics_.textHeight / 2, input_.format.Integer(ms) + " ms",
                 TA_RIGHT | TA_TOP);
        }
        const int offset = input_.format.OffsetMinutesAt(input_.range.toMs);
        const std::wstring sample = Widen(input_.format.TimeOfDay(input_.range.toMs));
        SIZE label{};
        GetTextExtentPoint32W(dc_, sample.c_str(), static_cast<int>(sample.size()), &label);
        for (const TimeTick& tick : TimeAxisTicks(input_.range, width_, label.cx + 3 * metrics_.textHeight, offset)) {
            const int x = box_.left + tick.column;
            if (tick.column > 0 && tick.column < width_) Line(x, box_.top, x, box_.bottom);
            Line(x, box_.bottom, x, box_.bottom + metrics_.tick);
            const int half = label.cx / 2 + 1;
            Text(dc_, std::clamp<int>(x, box_.left + half, std::max<int>(box_.left + half, box_.right - half)), box_.bottom + metrics_.tick,
                 input_.format.TimeOfDay(tick.atMs), TA_CENTER | TA_TOP);
        }
        if (kSlowRoundTripMs < axis_.topMs) {
            const Pen slow(CreatePen(PS_DOT, 1, kSlowLineColour));
            SelectScope slowPen(dc_, slow.Get());
            SetBkMode(dc_, OPAQUE);
            SetBkColor(dc_, kPlotBackColour);
            Line(box_.left, Y(kSlowRoundTripMs), box_.right, Y(kSlowRoundTripMs));
        }
    }

    void DrawReplies(const PlotBins& bins) {
        const int saved = SaveDC(dc_);
        IntersectClipRect(dc_, box_.left, box_.top, box_.right, box_.bottom);
        {
            const Pen range(CreatePen(PS_SOLID, 1, kRangeColour));
            SelectScope pen(dc_, range.Get());
            for (int x = 0; x < width_; ++x) {
                const PlotColumn& column = bins.columns[static_cast<std::size_t>(x)];
                if (column.Replies() > 1 && column.maxMs > column.minMs)
                    Line(box_.left + x, Y(column.minMs), box_.left + x, Y(column.maxMs) - 1);
            }
        }
        const Pen median(CreatePen(PS_SOLID, 1, kLineColour));
        SelectScope pen(dc_, median.Get());
        std::vector<POINT> run;
        const auto flush = [&] {
            if (run.size() == 1) {  // a reply with none joined to it: a dot
                const POINT at = run.front();
                Fill(dc_, {at.x - 1, at.y - 1, at.x + 1, at.y + 1}, kLineColour);
            } else if (run.size() > 1) {
                Polyline(dc_, run.data(), static_cast<int>(run.size()));
            }
            run.clear();
        };
        for (const LinePoint& point : bins.line) {
            if (point.startsRun) flush();
            run.push_back({box_.left + point.column, Y(point.ms)});
        }
        flush();
        RestoreDC(dc_, saved);
    }

    void DrawFrame() {
        const Pen frame(CreatePen(PS_SOLID, 1, kFrameColour));
        SelectScope pen(dc_, frame.Get());
        SelectScope brush(dc_, GetStockObject(NULL_BRUSH));
        Rectangle(dc_, box_.left - 1, box_.top - 1, box_.right + 1, box_.bottom + 1);
    }

    HDC dc_;
    RECT box_;
    const PlotInput& input_;
    const Metrics& metrics_;
    int width_, height_;
    ValueAxis axis_;
};

}  // namespace

RECT PlotDataBox(HDC dc, const RECT& area, const PlotInput& input, int dpi) {
    return DataBox(area, MetricsOf(dc, input, dpi));
}

RECT DrawHistoryPlot(HDC dc, const RECT& area, const PlotInput& input, int dpi) {
    const Metrics metrics = MetricsOf(dc, input, dpi);
    const RECT box = DataBox(area, metrics);
    const int state = SaveDC(dc);  // the caller's alignment, colours and pen come back
    Fill(dc, area, GetSysColor(COLOR_BTNFACE));
    if (box.right - box.left > 0 && box.bottom - box.top > 0) Plot(dc, box, input, metrics).Draw();
    RestoreDC(dc, state);
    return box;
}

}  // namespace corvale
