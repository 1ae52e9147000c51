// Names and alerts in the running program under Wine, over the scripted engine: a named site on
// its tile and in the log, the user's program and the web hook (our own web service on loopback,
// scripts/engine-web-server) told of a failing site, and nothing of it while muted but one summary.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ProgramFixture.h"
#include "WinTestSupport.h"
#include "monitor/AppFolder.h"
#include "monitor/LogFolder.h"
#include "monitor/WideText.h"

namespace corvale {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string FileText(const std::string& path) {
    std::ifstream file(std::filesystem::path(Widen(path)), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// Serves the program's events until `ready` holds, for some seconds at most.
template <typename Ready>
bool Await(Ready ready) {
    for (int i = 0; i < 200 && !ready(); ++i) test::PumpMessagesFor(50);
    return ready();
}

class AlertsProgramTest : public test::ProgramFixture {
protected:
    // The web service's record of the POSTs it took (paths, content types, bodies).
    std::string Posts() { return FileText("Z:" + Environment("TARNEL_WEB_POSTS")); }
    std::string Balloon() { return Narrow(program_.MainWindow().Tray().LastBalloon().szInfo); }
    // One POST to /hook as the web service records it.
    static std::string Post(const std::string& json) {
        return "/hook\napplication/json\n" + std::to_string(json.size()) + "\n" + json + "\n";
    }
};

TEST_F(AlertsProgramTest, ANamedSiteIsShownLoggedAndAlertedUnlessMuted) {
    if (Environment("TARNEL_WEB_POSTS").empty()) GTEST_SKIP() << "runs through scripts/engine-web-server --run";
    UseTestClock();
    const std::string recorder = ProgramFolder() + "alert_arguments_recorder.exe";
    const std::string record = folder_.File("arguments.txt");
    Write("monitor.ini", "[General]\r\nLog=1\r\n[Alerts]\r\nCommand=\"" + recorder + "\" \"" + record +
                             "\" %NAME% %STATE% %RTT%\r\nWebHook=http://" + Environment("TARNEL_WEB_HOST") + ":" +
                             Environment("TARNEL_WEB_HTTP") + "/hook\r\nWebHookBody={\"text\": \"%MESSAGE%\"}\r\n");
    Write("sites.txt", "# the shop's health\r\na.test  Shop front\r\nb.test\r\n");
    ASSERT_TRUE(StartProgram());
    EXPECT_EQ(program_.MainWindow().SiteStat(0).SiteURL(), "Shop front");
    EXPECT_EQ(Tips()[0]->Title(), "Shop front (a.test)");

    RunRounds(1);
    ScriptedEngine::Get().replies["a.test"] = {0, 11};
    RunRounds(2);
    EXPECT_EQ(Balloon(), "Shop front is not responding");
    ASSERT_TRUE(Await([&] { return std::filesystem::exists(Widen(record)); })) << "the program was not run";
    EXPECT_EQ(FileText(record), std::string("Shop front\0down\0\0", 17));
    ASSERT_TRUE(Await([&] { return !Posts().empty(); })) << "nothing was posted";
    EXPECT_EQ(Posts(), Post("{\"text\": \"Shop front is not responding\"}"));
    const std::string day = FileText(folder_.File("log\\") + DayFileName(LocalTimeNow()));
    EXPECT_NE(day.find(",a.test,a.test,no reply,,11,Shop front\r\n"), std::string::npos) << day;
    EXPECT_NE(day.find(",b.test,b.test,ok,10,0,\r\n"), std::string::npos) << day;

    // Muted: a comes back and b goes down, and nothing goes out until the mute ends.
    program_.ToggleMute();
    EXPECT_NE(Narrow(program_.MainWindow().Tray().Data().szTip).find(" (alerts muted until "), std::string::npos);
    std::filesystem::remove(Widen(record));
    const std::string balloon = Balloon(), posted = Posts();
    ScriptedEngine::Get().replies = {{"b.test", {0, 11}}};
    RunRounds(2);
    test::PumpMessagesFor(1000);
    EXPECT_EQ(Balloon(), balloon);
    EXPECT_EQ(Posts(), posted);
    EXPECT_FALSE(std::filesystem::exists(Widen(record)));

    program_.ToggleMute();
    const std::string summary = "While muted: 1 site stopped answering; 1 answers again";
    EXPECT_EQ(Balloon(), summary);
    ASSERT_TRUE(Await([&] { return Posts().size() > posted.size(); }));
    EXPECT_EQ(Posts().substr(posted.size()), Post("{\"text\": \"" + summary + "\"}"));
    ASSERT_TRUE(Await([&] { return std::filesystem::exists(Widen(record)); }));
    EXPECT_EQ(FileText(record), std::string("\0down\0\0", 7)) << "no site's name: the summary's line";
}

}  // namespace
}  // namespace corvale
