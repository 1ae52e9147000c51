// Prints how long the history takes with twenty sites checked every 10 seconds for a day
// (172,800 results): the log of that day read into the histories, the memory the day holds,
// a redraw of the window showing 24 hours, and a step of wheel zoom and of a drag.
// Asserts nothing.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "monitor/LogHistory.h"
#include "ui/history/HistoryWindow.h"

using namespace corvale;

namespace {

constexpr int kSites = 20;
constexpr int64_t kIntervalMs = 10'000;
constexpr int64_t kNow = 1'796'817'600'000;  // 2026-12-09T12:00:00Z; the log's clock is UTC
constexpr int64_t kDayMs = 24 * kHourMs;

class BenchHost : public HistoryHost {
public:
    std::vector<std::string> sites;
    std::vector<SiteHistory> histories{kSites};
    std::vector<SleepSpan> sleeps;
    int SiteCount() const override { return kSites; }
    std::string SiteTitle(int site) const override { return sites[static_cast<std::size_t>(site)]; }
    const SiteHistory& History(int site) const override { return histories[static_cast<std::size_t>(site)]; }
    std::span<const SleepSpan> SleepSpans() const override { return sleeps; }
    int64_t NowMs() const override { return kNow; }
    int64_t CheckIntervalMs() const override { return kIntervalMs; }
    std::optional<HistoryPlace> StoredPlace() const override { return std::nullopt; }
    void StorePlace(const HistoryPlace&) override {}
};

// Heap bytes in use, and the most since the last reset: every allocation carries its size.
std::atomic<int64_t> liveBytes{0}, peakBytes{0};
constexpr std::size_t kSizeHeader = 16;

template <typename F>
double Milliseconds(F&& body) {
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Megabytes(int64_t bytes) { return static_cast<double>(bytes) / (1 << 20); }

// A day of rows for every site, one round every 10 s, in the day files of a log folder.
void WriteDayOfLog(const std::filesystem::path& folder, const std::vector<std::string>& sites) {
    std::filesystem::create_directories(folder);
    std::ofstream yesterday(folder / "2026-12-08.csv", std::ios::binary), today(folder / "2026-12-09.csv", std::ios::binary);
    for (std::ofstream* file : {&yesterday, &today}) *file << "time,site,address,result,ms,code\r\n";
    uint32_t noise = 12345;
    for (int64_t round = kNow - kDayMs + kIntervalMs; round <= kNow; round += kIntervalMs) {
        const bool beforeMidnight = round < kNow - 12 * kHourMs;
        const int64_t ofDay = round / 1000 % 86400;
        char time[32];
        std::snprintf(time, sizeof time, "2026-12-%02dT%02d:%02d:%02d+00:00", beforeMidnight ? 8 : 9,
                      static_cast<int>(ofDay / 3600), static_cast<int>(ofDay % 3600 / 60), static_cast<int>(ofDay % 60));
        std::ofstream& file = beforeMidnight ? yesterday : today;
        for (const std::string& site : sites) {
            noise = noise * 1103515245 + 12345;
            const bool lost = noise % 100 < 3;
            file << time << ',' << site << ",192.0.2.1," << (lost ? "no reply,,11" : "ok,");
            if (!lost) file << 10 + (noise >> 16) % 190 << ",0";
            file << "\r\n";
        }
    }
}

}  // namespace

void* operator new(std::size_t size) {
    auto* block = static_cast<char*>(std::malloc(size + kSizeHeader));
    if (!block) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = size;
    const int64_t live = liveBytes += static_cast<int64_t>(size);
    for (int64_t peak = peakBytes; live > peak && !peakBytes.compare_exchange_weak(peak, live);) {}
    return block + kSizeHeader;
}
void operator delete(void* pointer) noexcept {
    if (!pointer) return;
    char* block = static_cast<char*>(pointer) - kSizeHeader;
    liveBytes -= static_cast<int64_t>(*reinterpret_cast<std::size_t*>(block));
    std::free(block);
}
void operator delete(void* pointer, std::size_t) noexcept { operator delete(pointer); }

int main() {
    BenchHost host;
    for (int i = 0; i < kSites; ++i) host.sites.push_back("site" + std::to_string(i) + ".example");
    const auto folder = std::filesystem::temp_directory_path() / "corvale-history-bench" / "log";
    WriteDayOfLog(folder, host.sites);
    const std::string logFolder = folder.string() + "\\";

    std::vector<SiteHistory*> histories;
    for (SiteHistory& history : host.histories) histories.push_back(&history);
    const int64_t before = liveBytes;
    peakBytes = before;
    // As the program does: the day's rows read, then merged before what the histories hold.
    const double loadMs = Milliseconds([&] {
        const LogHistory log = ReadLogHistory(logFolder, host.sites, kNow, 0);
        for (std::size_t i = 0; i < histories.size() && i < log.results.size(); ++i) histories[i]->AddOlder(log.results[i]);
        host.sleeps.insert(host.sleeps.end(), log.sleeps.begin(), log.sleeps.end());
        MergeSleepSpans(host.sleeps);
    });
    const int64_t held = liveBytes - before, peak = peakBytes - before;
    std::size_t results = 0;
    for (const SiteHistory& history : host.histories) results += history.Count();
    std::printf("Log of a day read into the histories (%zu results):  %8.1f ms  (target 500)\n", results, loadMs);
    std::printf("Memory the day holds: %.1f MB (target 8); %.1f MB at most while reading\n", Megabytes(held),
                Megabytes(peak));

    HistoryWindow window(host);
    if (!window.Open(0, nullptr)) return 1;
    SetWindowPos(window.hWnd(), nullptr, 0, 0, 1000, 560, SWP_NOZORDER);
    const auto redraw = [&window] { RedrawWindow(window.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); };
    redraw();
    HistoryView day;
    day.SetSpan(kDayMs, kNow);
    window.SetView(day);
    constexpr int kRuns = 40;
    std::printf("Redraw of 24 hours (1000 x 560 window):            %8.2f ms  (target 30)\n",
                Milliseconds([&] { for (int i = 0; i < kRuns; ++i) redraw(); }) / kRuns);

    RECT client{};
    GetClientRect(window.hWnd(), &client);
    POINT middle{client.right / 2, client.bottom / 2};
    ClientToScreen(window.hWnd(), &middle);
    const double zoomMs = Milliseconds([&] {
        for (int i = 0; i < kRuns; ++i) {
            const int delta = i < kRuns / 2 ? WHEEL_DELTA : -WHEEL_DELTA;
            SendMessageW(window.hWnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(middle.x, middle.y));
            UpdateWindow(window.hWnd());
        }
    });
    std::printf("Wheel zoom step, from 24 hours in and out again:   %8.2f ms\n", zoomMs / kRuns);

    HistoryView past;  // six hours of the morning, so a drag either way moves it
    past.SetSpan(6 * kHourMs, kNow);
    past.MoveBy(-6 * kHourMs, kNow);
    window.SetView(past);
    const LPARAM at = MAKELPARAM(client.right / 2, client.bottom / 2);
    SendMessageW(window.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    const double dragMs = Milliseconds([&] {
        for (int i = 0; i < kRuns; ++i) {
            SendMessageW(window.hWnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.right / 2 + (i % 20) * 5, client.bottom / 2));
            UpdateWindow(window.hWnd());
        }
    });
    SendMessageW(window.hWnd(), WM_LBUTTONUP, 0, at);
    std::printf("Drag step over 6 hours:                            %8.2f ms\n", dragMs / kRuns);

    std::filesystem::remove_all(folder.parent_path());
    return 0;
}
