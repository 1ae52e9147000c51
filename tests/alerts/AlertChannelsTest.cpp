// The channels against the real system under Wine: the program started with its arguments, and
// the web hook POSTing to our own web service on loopback (scripts/engine-web-server).

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "monitor/AlertProgram.h"
#include "monitor/CommandLine.h"
#include "monitor/WebHookSender.h"
#include "monitor/WideText.h"

using namespace corvale;
using Args = std::vector<std::string>;
using namespace std::string_literals;

namespace {

std::string ThisProgramsFolder() {
    wchar_t path[MAX_PATH];
    const std::wstring self(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return Narrow(self.substr(0, self.find_last_of(L'\\')));
}

// The whole file, or nothing when it is not there (yet).
std::string FileText(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

struct Post {
    std::string path, contentType, body;
};

// What the web service recorded: the host's file, whose root Wine shows as drive Z:.
std::vector<Post> Posts() {
    std::istringstream text(FileText(L"Z:" + Widen(Environment("TARNEL_WEB_POSTS"))));
    std::vector<Post> posts;
    Post post;
    std::string length;
    while (std::getline(text, post.path) && std::getline(text, post.contentType) && std::getline(text, length)) {
        post.body.resize(std::stoul(length));
        text.read(post.body.data(), static_cast<std::streamsize>(post.body.size())).ignore(1);
        posts.push_back(post);
    }
    return posts;
}

std::string Url(const char* port, const char* path) {
    return std::string(port == std::string("TARNEL_WEB_HTTPS") ? "https" : "http") + "://" +
           Environment("TARNEL_WEB_HOST") + ":" + Environment(port) + path;
}

// Sends one message (a test when `first`) and waits for its outcome.
std::string Outcome(WebHookSender& sender, WebHookMessage message, bool first = false) {
    auto outcome = std::make_shared<std::promise<std::string>>();
    auto told = outcome->get_future();
    const WebHookDone done = [outcome](const std::string& text) { outcome->set_value(text); };
    if (first) sender.SendTest(std::move(message), done);
    else sender.Send(std::move(message), done);
    if (told.wait_for(std::chrono::seconds(30)) != std::future_status::ready) return "no outcome";
    return told.get();
}

}  // namespace

TEST(AlertProgram, StartsWithExactlyItsArguments) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring record = std::wstring(folder) + L"corvale-alert-arguments-" + std::to_wstring(GetCurrentProcessId());
    DeleteFileW(record.c_str());
    AlertFields fields{"Router \"R1\"", R"(C:\path with\ spaces\)", "down", "", "2026-12-08T14:02:03+01:00", "caf\xC3\xA9 is not responding"};
    // A relative path is taken from the folder given (the program's own).
    const std::string command = R"(".\alert_arguments_recorder" ")" + Narrow(record) +
                                "\" %NAME% %TARGET% --state=%STATE% %RTT% \"%MESSAGE%\"";
    const ProgramStart start = StartAlertProgram(AlertCommandArguments(command, fields), ThisProgramsFolder());
    ASSERT_TRUE(start.started) << start.reason;

    std::string written;
    for (int wait = 0; wait < 300 && written.empty(); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        written = FileText(record);
    }
    DeleteFileW(record.c_str());
    EXPECT_EQ(written, "Router \"R1\"\0C:\\path with\\ spaces\\\0--state=down\0\0caf\xC3\xA9 is not responding\0"s);

    const ProgramStart missing = StartAlertProgram({"corvale-no-such-program", "x"}, "");
    EXPECT_FALSE(missing.started);
    EXPECT_EQ(missing.reason, "program not found");
}

TEST(AlertProgram, SplitsAsTheSystemDoes) {
    for (const char* line : {R"("C:\Program Files\x.exe" "a""b" "" x"y"z "")", R"(p a\\\b "a\\\"b" a\\\\"b c" d)",
                             R"("p"x """a""" "a"""b" \\"x\\")", "p \t\"\t\" \"\"\"\" a\\"}) {
        int count = 0;
        LPWSTR* split = CommandLineToArgvW(Widen(line).c_str(), &count);
        ASSERT_NE(split, nullptr);
        Args system;
        for (int i = 0; i < count; ++i) system.push_back(Narrow(split[i]));
        LocalFree(split);
        EXPECT_EQ(SplitCommandLine(line), system) << line;
    }
}

TEST(WebHookSender, PostsAndTellsWhatCameBack) {
    ASSERT_FALSE(Environment("TARNEL_WEB_POSTS").empty()) << "run through scripts/engine-web-server --run";
    WebHookSender sender;
    AlertFields fields = WebHookTestFields("2026-12-08T14:02:03+01:00");
    const WebHookMessage json = MakeWebHookMessage(Url("TARNEL_WEB_HTTP", "/hook?key=1"), R"({"text":"%MESSAGE%"})", fields);
    EXPECT_EQ(Outcome(sender, json, true), "Sent (HTTP 200)");
    fields.message = "caf\xC3\xA9 \"down\"";
    EXPECT_EQ(Outcome(sender, MakeWebHookMessage(Url("TARNEL_WEB_HTTP", "/status/403"), "", fields)), "Refused: HTTP 403");
    // The system's certificate checks hold: a server nobody trusts never gets the message.
    const std::string untrusted = Outcome(sender, MakeWebHookMessage(Url("TARNEL_WEB_HTTPS", "/"), "", fields));
    EXPECT_TRUE(untrusted == "Failed: certificate not trusted" || untrusted == "Failed: secure connection failed")
        << untrusted;  // Wine 8 names no certificate fault

    const std::vector<Post> posts = Posts();
    ASSERT_EQ(posts.size(), 2u);
    EXPECT_EQ(posts[0].path, "/hook?key=1");
    EXPECT_EQ(posts[0].contentType, "application/json");
    EXPECT_EQ(posts[0].body, R"({"text":"Corvale test message"})");
    EXPECT_EQ(posts[1].contentType, "text/plain; charset=utf-8");
    EXPECT_EQ(posts[1].body, fields.message);
}

TEST(WebHookSender, EndsWithAMessageUnderWayWithoutTellingItsOutcome) {
    ASSERT_FALSE(Environment("TARNEL_WEB_POSTS").empty()) << "run through scripts/engine-web-server --run";
    WebHookSender sender;
    sender.Send({Url("TARNEL_WEB_HTTP", "/slow"), "slow", "text/plain"},
                [](const std::string&) { ADD_FAILURE() << "told after the end"; });
}
