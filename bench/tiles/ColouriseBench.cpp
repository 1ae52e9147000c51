// One colour application of a tile: Process over the 179 x 28 background picture.
// Target: under 0.2 ms a call natively. Prints figures; asserts nothing.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "ui/tiles/cColourise.h"

int main() {
    using namespace corvale;
    constexpr int kWidth = 179, kHeight = 28;
    const int stride = BytesPerScanLine(kWidth);
    std::vector<uint8_t> source(static_cast<std::size_t>(stride) * kHeight), destination(source.size());
    // A bar-like picture: grey values running over the whole lightness range.
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < stride; ++x) source[y * stride + x] = static_cast<uint8_t>((x / 3 + y * 9) % 256);
    const PixelGrid src{source.data(), kWidth, kHeight, stride};
    const PixelGrid dst{destination.data(), kWidth, kHeight, stride};

    cColourise colouriser;
    colouriser.SetSaturation(145);
    constexpr int kRounds = 20, kCallsPerRound = 200;
    std::vector<double> perCallMs;
    unsigned checksum = 0;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kCallsPerRound; ++i) {
            colouriser.SetHue((round * kCallsPerRound + i) % 256);
            if (colouriser.Process(src, dst) != ColourStatus::Ok) std::puts("unexpected failure");
            checksum += destination[i % destination.size()];
        }
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        perCallMs.push_back(elapsed.count() / kCallsPerRound);
    }
    std::sort(perCallMs.begin(), perCallMs.end());
    std::printf("Process on %dx%d (%d pixels): median %.4f ms, best %.4f ms, worst %.4f ms per call "
                "(target < 0.2 ms) [checksum %u]\n",
                kWidth, kHeight, kWidth * kHeight, perCallMs[perCallMs.size() / 2], perCallMs.front(),
                perCallMs.back(), checksum);
    return 0;
}
