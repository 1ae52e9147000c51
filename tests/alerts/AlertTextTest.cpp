#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ResultText.h"
#include "monitor/CommandLine.h"
#include "monitor/MuteSummary.h"
#include "monitor/SiteLine.h"
#include "monitor/WebHook.h"

using namespace corvale;
using Args = std::vector<std::string>;

TEST(SiteLine, TargetNameAndNotes) {
    using Kind = SiteLine::Kind;
    const struct {
        const char* line;
        Kind kind;
        const char* target;
        const char* name;
    } cases[] = {
        {"192.168.1.1  Router", Kind::Site, "192.168.1.1", "Router"},
        {"\thttps://shop.example.com/health\t Shop front \t", Kind::Site, "https://shop.example.com/health", "Shop front"},
        {"example.com", Kind::Site, "example.com", ""},
        {"https://a.example/p?x=1&y==2#top Docs # 2", Kind::Site, "https://a.example/p?x=1&y==2#top", "Docs # 2"},
        {"#example.com Router", Kind::Comment, "", ""},
        {"  # a note", Kind::Comment, "", ""},
        {" \t ", Kind::Blank, "", ""},
    };
    for (const auto& c : cases) {
        const SiteLine read = ReadSiteLine(c.line);
        EXPECT_EQ(read.kind, c.kind) << c.line;
        EXPECT_EQ(read.target, c.target) << c.line;
        EXPECT_EQ(read.name, c.name) << c.line;
    }
    EXPECT_EQ(ShownName(ReadSiteLine("10.0.0.1")), "10.0.0.1");
}

TEST(CommandLine, EveryArgumentComesBackExactly) {
    // Every text of up to four of the characters that matter, as each of two arguments.
    const std::string alphabet = std::string("a \t\"\\");
    std::vector<std::string> texts{""};
    for (std::size_t from = 0, length = 0; length < 4; ++length) {
        const std::size_t to = texts.size();
        for (std::size_t i = from; i < to; ++i)
            for (char c : alphabet) texts.push_back(texts[i] + c);
        from = to;
    }
    for (const std::string& text : texts) {
        const Args arguments{R"(C:\Program Files\tool.exe)", text, text};
        ASSERT_EQ(SplitCommandLine(JoinCommandLine(arguments)), arguments) << JoinCommandLine(arguments);
    }
}

TEST(CommandLine, PlaceholdersStayOneArgumentEach) {
    AlertFields fields{R"(My "Router" \)", "%TARGET%", "connection down", "", "2026-12-08T14:02:03+01:00", R"(a b\)"};
    const Args arguments = AlertCommandArguments(
        R"("C:\Tools\notify.exe" --site=%NAME% %MESSAGE% "%RTT%" %RTT% %time% %STATE% %TARGET% %UNKNOWN% 100%)", fields);
    EXPECT_EQ(arguments, (Args{R"(C:\Tools\notify.exe)", R"(--site=My "Router" \)", R"(a b\)", "", "",
                               "2026-12-08T14:02:03+01:00", "connection down", "%TARGET%", "%UNKNOWN%", "100%"}));
    EXPECT_EQ(SplitCommandLine(JoinCommandLine(arguments)), arguments);
    // The command interpreter knows no escapes: nothing of a value may end its quotes.
    EXPECT_EQ(JoinBatchCommandLine({R"(C:\a.bat)", "https://x/?a=1&b=2", R"(say "hi" & del)", ""}),
              R"("C:\a.bat" "https://x/?a=1&b=2" "say 'hi' & del" "")");
}

TEST(WebHook, BodiesAndOutcomes) {
    AlertNotice notice{"2026-12-08T14:02:03+01:00", {}};
    notice.lines.push_back({AlertState::Down, "10.0.0.1", "Router \"R1\"", std::nullopt, "Router \"R1\" is not responding"});
    notice.lines.push_back({AlertState::Up, "b.example", "", 42, "b.example answers again (42 ms)\\\x01"});
    const AlertFields fields = NoticeFields(notice);
    EXPECT_EQ(fields.name, "Router \"R1\"\nb.example");
    EXPECT_EQ(fields.rtt, "\n42");

    const WebHookMessage json = MakeWebHookMessage("https://hook.example/x", R"({"text":"%MESSAGE%","s":"%STATE%"})", fields);
    EXPECT_EQ(json.contentType, "application/json");
    EXPECT_EQ(json.body, R"({"text":"Router \"R1\" is not responding\nb.example answers again (42 ms)\\\u0001","s":"down\nup"})");
    const WebHookMessage plain = MakeWebHookMessage("http://h/", "", LineFields(notice, 0));
    EXPECT_EQ(plain.contentType, "text/plain; charset=utf-8");
    EXPECT_EQ(plain.body, "Router \"R1\" is not responding");
    EXPECT_EQ(MakeWebHookMessage("http://h/", "%NAME%: %STATE% {", WebHookTestFields("t")).body, ":  {");

    EXPECT_EQ(WebHookOutcomeText({200, 0}), "Sent (HTTP 200)");
    EXPECT_EQ(WebHookOutcomeText({403, 0}), "Refused: HTTP 403");
    EXPECT_EQ(WebHookOutcomeText({0, tarnel::kCertificateUntrusted}), "Failed: certificate not trusted");
    EXPECT_STREQ(AlertSoundAlias(notice), "SystemHand");
}

TEST(WebHook, KeptWhileTheConnectionIsDown) {
    WebHookQueue queue;
    const auto item = [](std::string body) { return WebHookQueue::Item{{"u", std::move(body), "t"}, {}}; };
    const auto taken = [&] {
        std::string bodies;
        while (auto next = queue.Take()) bodies += next->message.body + " ";
        return bodies;
    };
    queue.Add(item("before"));
    queue.ConnectionDown(item("outage"));
    for (int i = 0; i < 60; ++i) queue.Add(item(std::to_string(i)));
    queue.AddFirst(item("test"));
    EXPECT_EQ(taken(), "test ") << "only the test goes while the connection is down";
    EXPECT_EQ(queue.Size(), kWebHookMaxKept);
    queue.ConnectionUp();
    std::string expected = "outage ";
    for (int i = 11; i < 60; ++i) expected += std::to_string(i) + " ";
    EXPECT_EQ(taken(), expected);
}

TEST(MuteSummary, HowThingsStandAgainstTheStart) {
    MuteSummary summary;
    EXPECT_EQ(summary.Text(), "");
    for (const char* site : {"a", "b"}) summary.Add(AlertState::Down, site);
    summary.Add(AlertState::Up, "c");
    summary.Add(AlertState::Down, "d");  // down and back: no change
    summary.Add(AlertState::Up, "d");
    EXPECT_EQ(summary.Text(), "While muted: 2 sites stopped answering; 1 answers again");

    summary.Clear();
    summary.Add(AlertState::ConnectionDown, "");
    summary.Add(AlertState::Up, "a");
    summary.Add(AlertState::Up, "b");
    summary.Add(AlertState::Slow, "a");
    EXPECT_EQ(summary.Text(), "While muted: the connection went down; 2 sites answer again; 1 answers slowly");
    summary.Clear();
    summary.Add(AlertState::Quick, "a");
    EXPECT_EQ(summary.Text(), "While muted: 1 site answers quickly again");
    EXPECT_EQ(MutedTipSuffix(9, 5), " (alerts muted until 09:05)");
}
