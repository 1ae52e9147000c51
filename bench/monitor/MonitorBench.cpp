// Prints the time of the site list parser, the settings conversions and a site list
// save on large inputs. Asserts nothing.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "monitor/Conversions.h"
#include "monitor/SiteList.h"

using namespace corvale;

namespace {

template <typename F>
double MillisecondsPerRun(int runs, F&& body) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i) body();
    std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / runs;
}

}  // namespace

int main() {
    std::string distinct, duplicates, oneLine(1 << 20, 'w'), typical;
    for (int i = 0; i < 100000; ++i) {
        distinct.append("host").append(std::to_string(i)).append(".example\r\n");
        duplicates.append("same.example\r\n");
    }
    for (int i = 0; i < 20; ++i) typical.append("site").append(std::to_string(i)).append(".example\r\n");

    const auto parse = [](const std::string& text) { return CarrySiteState({}, AcceptedSiteLines(text)).size(); };
    std::printf("Site list parse, 20 lines:              %10.4f ms\n", MillisecondsPerRun(2000, [&] { parse(typical); }));
    std::printf("Site list parse, 100000 distinct lines: %10.4f ms\n", MillisecondsPerRun(50, [&] { parse(distinct); }));
    std::printf("Site list parse, 100000 duplicates:     %10.4f ms\n", MillisecondsPerRun(50, [&] { parse(duplicates); }));
    std::printf("Site list parse, one 1 MB line:         %10.4f ms\n", MillisecondsPerRun(50, [&] { parse(oneLine); }));

    volatile unsigned sink = 0;
    const char* samples[] = {"20", " 255 ", "12.5", "letters", "1e60", "-32768"};
    double perCall = MillisecondsPerRun(200000, [&] {
        for (const char* s : samples) sink = sink + static_cast<unsigned>(SafeInt(s)) + static_cast<unsigned>(SafeLong(s)) + SafeBool(s);
    }) / (3.0 * 6.0);
    std::printf("Safe conversion, per call:              %10.6f ms\n", perCall);

    std::string path = (std::filesystem::temp_directory_path() / "corvale-bench-sites.txt").string();
    std::printf("Site list save, 20 lines:               %10.4f ms\n",
                MillisecondsPerRun(50, [&] { ReplaceFileContents(path, typical); }));
    std::printf("Site list save, 100000 lines:           %10.4f ms\n",
                MillisecondsPerRun(5, [&] { ReplaceFileContents(path, distinct); }));
    std::filesystem::remove(path);
    return 0;
}
