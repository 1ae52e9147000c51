// Figures for the ping engine, printed for a person to read:
//  - round-trip times through the library against the system's ping on the same test host,
//    over IPv4 and IPv6, for hosts that answer at once and after 5, 20 and 100 ms (run it
//    through scripts/netns-testbed so the test host exists; otherwise only loopback is measured);
//  - the connect time of tcp:// lines and the time to the status line of http:// lines against a
//    listener of our own: on loopback through scripts/engine-web-server --run, and the test
//    host's web service through scripts/netns-testbed;
//  - the delay from a request to the worker starting its exchange.
#include "../../tests/engine/TarnelLibrary.h"

#include "engine/PingEngine.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#if defined(_WIN32)
#define popen _popen
#define pclose _pclose
#endif

using namespace std::chrono;
using tarnel::test::RunPing;
using tarnel::test::TarnelLibrary;

namespace {

constexpr int kSamples = 25;

double Mean(const std::vector<double>& values)
{
    double sum = 0;
    for (double value : values)
        sum += value;
    return values.empty() ? -1 : sum / static_cast<double>(values.size());
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Round trips the system's ping reports, in milliseconds.
std::vector<double> SystemPing(const std::string& host, bool ipv6)
{
    const std::string family = ipv6 ? "-6 " : "";
#if defined(_WIN32)
    const std::string command = "ping " + family + "-n " + std::to_string(kSamples) + " " + host;
#else
    const std::string command =
        "ping " + family + "-n -c " + std::to_string(kSamples) + " -i 0.05 " + host + " 2>/dev/null";
#endif
    std::vector<double> times;
    FILE* output = popen(command.c_str(), "r");
    if (output == nullptr)
        return times;
    char line[512];
    while (std::fgets(line, sizeof line, output) != nullptr) {
        const char* at = std::strstr(line, "time=");
        if (at == nullptr)
            at = std::strstr(line, "time<");
        if (at != nullptr)
            times.push_back(std::atof(at + 5));
    }
    pclose(output);
    return times;
}

std::vector<double> EnginePing(const std::string& host, int& failures)
{
    std::vector<double> times;
    failures = 0;
    for (int i = 0; i < kSamples; ++i) {
        const auto outcome = RunPing(host, 56, 2000);
        if (outcome.state == 0 && outcome.code == 0)
            times.push_back(outcome.roundTripMs);
        else
            ++failures;
    }
    return times;
}

struct Target {
    std::string host;
    const char* delay;
    bool ipv6;
};

// The test host's four delays over both protocols, or loopback without the test network.
std::vector<Target> Targets(const char* net, const char* net6)
{
    if (net == nullptr)
        return {{"127.0.0.1", "loopback", false}, {"::1", "loopback", true}};
    const char* delays[] = {"0 ms", "5 ms", "20 ms", "100 ms"};
    std::vector<Target> targets;
    for (int host = 2; host <= 5; ++host)
        targets.push_back({std::string(net) + "." + std::to_string(host), delays[host - 2], false});
    if (net6 != nullptr) {
        for (int host = 2; host <= 5; ++host)
            targets.push_back({std::string(net6) + std::to_string(host), delays[host - 2], true});
    }
    return targets;
}

void RoundTripAccuracy(const char* net, const char* net6)
{
    std::printf("Round trip, library against the system's ping (%d samples each, medians in ms)\n", kSamples);
    std::printf("(the library counts whole milliseconds; ping prints 3 digits, so 101 for 100.6)\n");
    std::printf("%-16s %-8s %10s %10s %10s   %s\n", "host", "delay", "library", "ping", "difference",
                "means: library, ping");
    for (const Target& target : Targets(net, net6)) {
        int failures = 0;
        const std::vector<double> ours = EnginePing(target.host, failures);
        const double library = Median(ours);
        const std::vector<double> ping = SystemPing(target.host, target.ipv6);
        const double system = Median(ping);
        if (ping.empty() || ours.empty())
            std::printf("%-16s %-8s %10.2f %10.2f %10s", target.host.c_str(), target.delay, library, system, "n/a");
        else
            std::printf("%-16s %-8s %10.2f %10.2f %+10.2f   %.2f, %.2f", target.host.c_str(), target.delay, library,
                        system, library - system, Mean(ours), Mean(ping));
        std::printf(failures ? "   (%d failed)\n" : "\n", failures);
    }
}

// The times the library reports for lines checked by TCP connection or web request.
void StreamCheckTimes(const char* net)
{
    std::vector<std::pair<const char*, std::string>> lines;
    if (const char* port = std::getenv("TARNEL_WEB_HTTP")) {
        const std::string listener = std::string(std::getenv("TARNEL_WEB_HOST")) + ":" + port;
        lines.push_back({"loopback", "tcp://" + listener});
        lines.push_back({"loopback", "http://" + listener + "/"});
    }
    if (net != nullptr) {
        lines.push_back({"test host", "tcp://" + std::string(net) + ".2:80"});
        lines.push_back({"test host", "http://" + std::string(net) + ".2/"});
    }
    if (lines.empty()) {
        std::printf("\n(no listener of our own: run through scripts/engine-web-server --run for TCP and web checks)\n");
        return;
    }
    std::printf("\nTCP connect and HTTP status line through the library (%d samples each, ms)\n", kSamples);
    std::printf("%-10s %-32s %8s %8s %8s\n", "listener", "line", "median", "mean", "max");
    for (const auto& [listener, line] : lines) {
        int failures = 0;
        const std::vector<double> times = EnginePing(line, failures);
        std::printf("%-10s %-32s %8.2f %8.2f %8.2f", listener, line.c_str(), Median(times), Mean(times),
                    times.empty() ? -1.0 : *std::max_element(times.begin(), times.end()));
        std::printf(failures ? "   (%d failed)\n" : "\n", failures);
    }
}

// Requests arrive at any moment of the worker's poll; measures how long each waits before its
// exchange starts. The stand-in exchange returns at once so only the hand-over is timed.
void PickUpDelay()
{
    std::mutex lock;
    std::condition_variable started;
    steady_clock::time_point startedAt;
    bool begun = false;
    tarnel::PingEngine engine([&](const tarnel::EchoRequest&) {
        std::lock_guard<std::mutex> guard(lock);
        startedAt = steady_clock::now();
        begun = true;
        started.notify_all();
        return tarnel::EchoResult{0, 1};
    });
    engine.Start();
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pause(0, 40);
    std::vector<double> delays;
    for (int i = 0; i < 200; ++i) {
        std::this_thread::sleep_for(milliseconds(pause(random)));
        {
            std::lock_guard<std::mutex> guard(lock);
            begun = false;
        }
        const auto requested = steady_clock::now();
        engine.Ping("x", 64, 2000, 0);
        std::unique_lock<std::mutex> guard(lock);
        started.wait(guard, [&] { return begun; });
        delays.push_back(duration<double, std::milli>(startedAt - requested).count());
        guard.unlock();
        std::int32_t roundTrip = 0, code = 0;
        while (engine.Check(&roundTrip, &code) == 1)
            std::this_thread::yield();
    }
    engine.Stop();
    std::printf("\nRequest to exchange start (200 requests): median %.3f ms, max %.3f ms\n", Median(delays),
                *std::max_element(delays.begin(), delays.end()));
}

// The whole hand-over through the library: PingStart until PingCheck reports the result of an
// exchange that fails before sending (a name too long to look up).
void LibraryTurnaround()
{
    const std::string overlong(250, 'n');
    std::vector<double> times;
    for (int i = 0; i < 50; ++i)
        times.push_back(static_cast<double>(RunPing(overlong).took.count()));
    std::printf("PingStart to result through the library, exchange failing early: median %.1f ms\n",
                Median(times));
}

}  // namespace

int main()
{
    TarnelLibrary& library = TarnelLibrary::Get();
    if (!library.Loaded()) {
        std::fprintf(stderr, "tarnel could not be loaded: %s\n", library.Error().c_str());
        return 1;
    }
    const char* net = std::getenv("TARNEL_TESTBED");
    if (net == nullptr)
        std::printf("(no test network: run through scripts/netns-testbed for the delayed hosts)\n");
    library.startDll();
    RoundTripAccuracy(net, std::getenv("TARNEL_TESTBED6"));
    StreamCheckTimes(net);
    LibraryTurnaround();
    std::this_thread::sleep_for(milliseconds(50));
    const auto stopping = steady_clock::now();
    library.stopDll();
    std::printf("StopDll with an idle worker: %.3f ms\n",
                duration<double, std::milli>(steady_clock::now() - stopping).count());
    PickUpDelay();
    return 0;
}
