// Downloading an import source from servers on 127.0.0.1 that answer well or badly.

#include "base/Errors.h"
#include "support/FaultInjection.h"
#include "support/LocalHttpServer.h"
#include "support/TempDir.h"
#include "transport/SourceDownload.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

using namespace tolvi;
using namespace tolvi::test;

namespace {

// Short, yet long enough that a busy machine does not pass for a stalling server.
DownloadLimits quick()
{
    return {65536, std::chrono::milliseconds(400), std::chrono::milliseconds(1000)};
}

// The body, or else the error's message.
std::pair<std::optional<std::string>, std::string> download(const std::string& address)
{
    try {
        return {downloadSource(address, quick()), ""};
    } catch (const IoError& e) {
        return {std::nullopt, e.what()};
    }
}

}  // namespace

TEST(SourceDownload, GivesTheWholeBodyOrAnErrorNamingTheAddressAndTheCause)
{
    std::string limit(quick().maxBytes, '\0');  // every byte value, NUL included
    for (std::size_t i = 0; i < limit.size(); ++i)
        limit[i] = char(i * 7 + i / 256);
    limit.back() = '\n';  // a body without a length is whole only when it ends a line
    const std::string body = limit.substr(0, 60000);
    LocalHttpServer server;
    server.serve("/whole.csv", HttpReply::page(body));
    server.serve("/limit.csv", HttpReply::page(limit));
    server.serve("/limit-unsized.csv", HttpReply {limit, 200, HttpReply::Ending::NoLength, 0, {}});
    server.serve("/over-unsized.csv", HttpReply {limit + "x", 200, HttpReply::Ending::NoLength, 0, {}});
    server.serve("/cut-unsized.csv", HttpReply {"draw_no,x\n1,23218\n2,232", 200, HttpReply::Ending::NoLength, 0, {}});
    server.serve("/missing.csv", HttpReply::page("no such file", 404));
    server.serve("/reset.csv", HttpReply::endingEarly(body, 1000, HttpReply::Ending::ResetEarly));
    server.serve("/stall.csv", HttpReply::endingEarly(body, 1000, HttpReply::Ending::StallEarly));
    HttpReply toFtp = HttpReply::page("moved", 302);
    toFtp.headers.push_back({"Location", "ftp://" + server.host() + "/whole.csv"});
    server.serve("/to-ftp.csv", toFtp);
    // Announces 1000000 bytes and keeps sending.
    RawTcpServer trickle(RawTcpServer::Behaviour::Trickle), unanswered(RawTcpServer::Behaviour::Backlogged);
    ASSERT_TRUE(trickle.isListening() && unanswered.isListening());
    const std::string web = "http://" + server.host();

    const struct {
        std::string address;
        std::optional<std::string> body;  // else an IoError that holds `words`
        std::string words;
    } cases[] = {
        {web + "/whole.csv", body, ""},
        {"HTTP://" + server.host() + "/limit.csv", limit, ""},
        {web + "/limit-unsized.csv", limit, ""},
        {web + "/over-unsized.csv", std::nullopt, "上限の 65536 バイト"},
        {"http://" + trickle.host() + "/huge.csv", std::nullopt, "上限の 65536 バイト"},
        {web + "/cut-unsized.csv", std::nullopt, "途中で切れた可能性があります"},
        {web + "/missing.csv", std::nullopt, "HTTP ステータス 404"},
        {web + "/reset.csv", std::nullopt, "リセット"},
        {web + "/stall.csv", std::nullopt, "1 秒のあいだ何も受信できなかった"},
        {web + "/to-ftp.csv", std::nullopt, "http と https 以外"},
        {"http://127.0.0.1:" + std::to_string(closedLoopbackPort()) + "/a.csv", std::nullopt, "拒否"},
        {"http://" + unanswered.host() + "/a.csv", std::nullopt, "0.4 秒以内に接続できません"},
        {"http://nonexistent.invalid/a.csv", std::nullopt, "ホスト名が見つかりません"},
        {"ftp://" + trickle.host() + "/a.csv", std::nullopt, "http:// か https://"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        const auto [got, message] = download(c.address);
        ASSERT_EQ(got.has_value(), c.body.has_value()) << message;
        if (got)
            EXPECT_TRUE(*got == *c.body);
        else
            EXPECT_TRUE(message.rfind(c.address + " ", 0) == 0 && message.find(c.words) != std::string::npos)
                << message;
    }
    EXPECT_EQ(trickle.connections(), 1);  // not for the ftp:// address
    for (const HttpRequest& request : server.requests()) {
        EXPECT_EQ(request.headers.at("user-agent"), "tolvi-numbers/1.6");
        EXPECT_EQ(request.headers.count("cache-control"), 0u);
    }
}

TEST(SourceDownload, SelfSignedCertificateIsRefused)
{
    if (std::system("command -v openssl > /dev/null") != 0)
        GTEST_SKIP() << "openssl is not installed";
    TempDir dir;
    const std::string key = "'" + dir.file("key.pem").string() + "'", cert = "'" + dir.file("cert.pem").string() + "'";
    const std::string address = "127.0.0.1:" + std::to_string(closedLoopbackPort());
    // Made out to 127.0.0.1, so that only the missing trust is at fault.
    ASSERT_EQ(std::system(("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1 "
                           "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout " +
                           key + " -out " + cert + " 2> /dev/null")
                              .c_str()),
              0);
    // Serves one connection and says "ACCEPT" once it listens; ends after 10 seconds at the latest.
    std::FILE* server = ::popen(
        ("timeout 10 openssl s_server -www -naccept 1 -accept " + address + " -key " + key + " -cert " + cert + " 2>&1")
            .c_str(),
        "r");
    ASSERT_NE(server, nullptr);
    char line[256];
    while (std::fgets(line, sizeof line, server) && std::string_view(line).substr(0, 6) != "ACCEPT") { }
    const std::string message = download("https://" + address + "/").second;
    ::pclose(server);
    EXPECT_NE(message.find("証明書を確認できません"), std::string::npos) << message;
}
