// tolvi fetch: the retrieval without a window, against a real HTTP server on 127.0.0.1.

#include "support/LocalHttpServer.h"
#include "support/ResultsPages.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <sys/wait.h>

using tolvi::test::emptyPage;
using tolvi::test::HttpReply;
using tolvi::test::LocalHttpServer;
using tolvi::test::numbers3Draw;
using tolvi::test::numbers4Draw;
using tolvi::test::resultsPage;
using tolvi::test::TempDir;

namespace {

struct Output {
    std::string out;
    int status = -1;
};

// Runs the tool with `arguments` (no quoting needed for the paths the tests make).
Output tolviCli(const std::string& arguments)
{
    Output output;
    const std::string command = std::string(TOLVI_CLI_PATH) + " " + arguments + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return output;
    char buffer[4096];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.out.append(buffer, count);
    const int status = ::pclose(pipe);
    output.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

void serveDraw1233(LocalHttpServer& server)
{
    server.serve("/numbers/num3-h1707.html", HttpReply::page(emptyPage(300)));
    server.serve("/numbers/num3-h1708.html",
                 HttpReply::page(resultsPage(3, "2005年8月", {numbers3Draw(1232, "777"), numbers3Draw(1233, "402")})));
    server.serve("/numbers/num4-h1708.html",
                 HttpReply::page(resultsPage(4, "2005年8月", {numbers4Draw(1233, "0815")})));
}

}  // namespace

TEST(CliFetch, JsonHoldsTheElevenFieldsAndNoMessageWhenBothPagesAreFound)
{
    LocalHttpServer server;
    serveDraw1233(server);
    TempDir dir;
    const Output output =
        tolviCli("fetch --draw 1233 --host " + server.host() + " --dir " + dir.path().string() + " --json");
    EXPECT_EQ(output.status, 0);
    const auto json = nlohmann::ordered_json::parse(output.out);
    const nlohmann::ordered_json expected = nlohmann::ordered_json::parse(R"({
        "fields": {"Num3Edit": "402", "Num3Edit1": "93400", "Num3Edit2": "15500", "Num3Edit3": "54400",
                   "Num3Edit4": "7700", "Num3Edit5": "9300", "Num4Edit": "0815", "Num4Edit1": "1051700",
                   "Num4Edit2": "43800", "Num4Edit3": "547800", "Num4Edit4": "21900"},
        "message": null})");
    EXPECT_EQ(json, expected);
    EXPECT_EQ(json.dump(), expected.dump());  // the fields in tab order
    EXPECT_TRUE(std::filesystem::exists(dir.file("numbers.tmp")));
    EXPECT_EQ(server.paths(), (std::vector<std::string> {"/numbers/num3-h1707.html", "/numbers/num3-h1708.html",
                                                         "/numbers/num4-h1708.html"}));
}

TEST(CliFetch, NotFoundGivesEmptyFieldsTheMessageAndExitStatus1)
{
    LocalHttpServer server;
    server.serve("/numbers/num3-h1707.html", HttpReply::page(emptyPage(200)));
    TempDir dir;
    const Output output =
        tolviCli("fetch --draw 1233 --host " + server.host() + " --dir " + dir.path().string() + " --json");
    EXPECT_EQ(output.status, 1);
    const auto json = nlohmann::json::parse(output.out);
    EXPECT_EQ(json["message"], "結果データがすでに最新か\r\nもしくはデータが見つかりません。");
    ASSERT_EQ(json["fields"].size(), 11u);
    for (const auto& [name, text] : json["fields"].items())
        EXPECT_EQ(text, "") << name;
}

TEST(CliFetch, TextOutputListsTheFieldsAsThePanelLabelsThem)
{
    LocalHttpServer server;
    serveDraw1233(server);
    TempDir dir;
    const Output output = tolviCli("fetch --draw 1233 --host " + server.host() + " --dir " + dir.path().string());
    EXPECT_EQ(output.status, 0);
    EXPECT_NE(output.out.find("Numbers3 当選番号:    402\n"), std::string::npos) << output.out;
    EXPECT_NE(output.out.find("Numbers3 ﾐﾆ金額:      9300\n"), std::string::npos);
    EXPECT_NE(output.out.find("Numbers4 当選番号:    0815\n"), std::string::npos);
    EXPECT_NE(output.out.find("Numbers4 S ﾎﾞｯｸｽ金額: 21900\n"), std::string::npos);
    EXPECT_EQ(output.out.find("Edit"), std::string::npos);
    EXPECT_EQ(output.out.find("メッセージ"), std::string::npos);
}

TEST(CliFetch, HostThatDoesNotResolveGivesTheConnectionMessage)
{
    TempDir dir;
    const Output output =
        tolviCli("fetch --draw 5 --host no-such-host.invalid --dir " + dir.path().string() + " --json");
    EXPECT_EQ(output.status, 1);
    const auto json = nlohmann::json::parse(output.out);
    EXPECT_EQ(json["message"], "エラー：インターネットに接続できません。");
}

TEST(CliFetch, DirectoryThatCannotHoldNumbersTmpGivesTheErrorAsMessage)
{
    LocalHttpServer server;
    serveDraw1233(server);
    TempDir dir;
    const Output output =
        tolviCli("fetch --draw 1233 --host " + server.host() + " --dir " + dir.file("missing").string() + " --json");
    EXPECT_EQ(output.status, 1);
    const auto json = nlohmann::json::parse(output.out);
    ASSERT_TRUE(json["message"].is_string());
    EXPECT_NE(json["message"].get<std::string>().find("numbers.tmp"), std::string::npos);
}

TEST(CliFetch, DrawOutsideOneTo9999IsAUsageError)
{
    EXPECT_EQ(tolviCli("fetch --draw 0 --host 127.0.0.1:1").status, 2);
    EXPECT_EQ(tolviCli("fetch --draw 10000 --host 127.0.0.1:1").status, 2);
    EXPECT_EQ(tolviCli("fetch --host 127.0.0.1:1").status, 2);
}
