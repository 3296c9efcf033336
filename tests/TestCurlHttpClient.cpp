// The libcurl client against a real HTTP server on 127.0.0.1.

#include "support/LocalHttpServer.h"
#include "transport/CurlHttpClient.h"
#include "transport/ShiftJis.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

using namespace tolvi;
using tolvi::test::HttpReply;
using tolvi::test::LocalHttpServer;
using Ending = HttpReply::Ending;

namespace {

// Time-outs short enough for a test of a silent server to end within a second.
CurlTimeouts quick()
{
    CurlTimeouts timeouts;
    timeouts.connect = std::chrono::milliseconds(1000);
    timeouts.receive = std::chrono::milliseconds(300);
    return timeouts;
}

struct Received {
    std::string body;
    int blocks = 0;
    int idles = 0;
    bool ok = false;
};

Received fetch(HttpClient& http, const std::string& url)
{
    Received received;
    received.ok = http.fetch(
        url,
        [&](std::string_view block) {
            received.body.append(block);
            ++received.blocks;
        },
        [&] { ++received.idles; });
    return received;
}

// Bytes 0-255 over and over: NUL bytes and Shift-JIS lead bytes must come through unchanged.
std::string everyByte(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 256) & 0xFF);
    return bytes;
}

}  // namespace

TEST(CurlHttpClient, SendsTheShiftJisAgentAndAsksCachesNotToAnswer)
{
    LocalHttpServer server;
    server.serve("/numbers/num3-h1707.html", HttpReply::page("<HTML></HTML>"));
    CurlHttpClient http(server.host(), quick());
    const Received received = fetch(http, "http://" + server.host() + "/numbers/num3-h1707.html");
    ASSERT_TRUE(received.ok);
    EXPECT_EQ(received.body, "<HTML></HTML>");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path, "/numbers/num3-h1707.html");
    EXPECT_EQ(requests[0].headers.at("user-agent"), "Microsoft Internet\x81\x40"
                                                    "Explorer");
    EXPECT_EQ(requests[0].headers.at("cache-control"), "no-cache");
    EXPECT_EQ(requests[0].headers.at("pragma"), "no-cache");
}

TEST(CurlHttpClient, HandsOverTheBodyWhateverTheStatus)
{
    LocalHttpServer server;
    server.serve("/missing.html", HttpReply::page("<HTML>nothing here</HTML>", 404));
    server.serve("/broken.html", HttpReply::page("<HTML>oops</HTML>", 500));
    CurlHttpClient http(server.host(), quick());
    const Received missing = fetch(http, "http://" + server.host() + "/missing.html");
    EXPECT_TRUE(missing.ok);
    EXPECT_EQ(missing.body, "<HTML>nothing here</HTML>");
    const Received broken = fetch(http, "http://" + server.host() + "/broken.html");
    EXPECT_TRUE(broken.ok);
    EXPECT_EQ(broken.body, "<HTML>oops</HTML>");
}

TEST(CurlHttpClient, LargeBodyArrivesByteForByteInSeveralBlocks)
{
    LocalHttpServer server;
    const std::string body = everyByte(3 << 20);
    server.serve("/big.html", HttpReply::page(body));
    server.serve("/unsized.html", HttpReply {body, 200, Ending::NoLength, 0, {}});
    CurlHttpClient http(server.host(), quick());
    const Received sized = fetch(http, "http://" + server.host() + "/big.html");
    EXPECT_TRUE(sized.ok);
    EXPECT_EQ(sized.body.size(), body.size());
    EXPECT_TRUE(sized.body == body);
    EXPECT_GT(sized.blocks, 1);
    const Received unsized = fetch(http, "http://" + server.host() + "/unsized.html");
    EXPECT_TRUE(unsized.ok);
    EXPECT_TRUE(unsized.body == body);
}

TEST(CurlHttpClient, FollowsARedirect)
{
    LocalHttpServer server;
    HttpReply moved = HttpReply::page("<HTML>moved</HTML>", 302);
    moved.headers.push_back({"Location", "/new.html"});
    server.serve("/old.html", moved);
    server.serve("/new.html", HttpReply::page("<HTML>new</HTML>"));
    CurlHttpClient http(server.host(), quick());
    const Received received = fetch(http, "http://" + server.host() + "/old.html");
    EXPECT_TRUE(received.ok);
    EXPECT_EQ(received.body, "<HTML>new</HTML>");
    EXPECT_EQ(server.paths(), (std::vector<std::string> {"/old.html", "/new.html"}));
}

TEST(CurlHttpClient, SilentServerIsAbandonedAfterTheReceiveTimeOutWhileIdleKeepsBeingCalled)
{
    LocalHttpServer server;
    server.serve("/silent.html", HttpReply::silent());
    CurlHttpClient http(server.host(), quick());
    const Received received = fetch(http, "http://" + server.host() + "/silent.html");
    EXPECT_FALSE(received.ok);
    EXPECT_EQ(received.blocks, 0);
    EXPECT_GT(received.idles, 1);
    // A connection was made, so the request is not tried again.
    EXPECT_EQ(server.count("/silent.html"), 1);
}

TEST(CurlHttpClient, PageEndingEarlyFailsAfterHandingOverWhatArrived)
{
    LocalHttpServer server;
    const std::string body = everyByte(5000);
    server.serve("/stall.html", HttpReply::endingEarly(body, 1200, Ending::StallEarly));
    server.serve("/reset.html", HttpReply::endingEarly(body, 1300, Ending::ResetEarly));
    server.serve("/close.html", HttpReply::endingEarly(body, 1400, Ending::CloseEarly));
    CurlHttpClient http(server.host(), quick());
    for (const auto& [path, sent] : {std::pair {"/stall.html", 1200}, {"/reset.html", 1300}, {"/close.html", 1400}}) {
        SCOPED_TRACE(path);
        const Received received = fetch(http, "http://" + server.host() + path);
        EXPECT_FALSE(received.ok);
        EXPECT_TRUE(received.body == body.substr(0, std::size_t(sent)));
        EXPECT_EQ(server.count(path), 1);
    }
}

TEST(CurlHttpClient, RefusedConnectionFailsWithoutABlock)
{
    const std::string host = "127.0.0.1:" + std::to_string(tolvi::test::closedLoopbackPort());
    CurlHttpClient http(host, quick());
    EXPECT_TRUE(http.canConnect());
    const Received received = fetch(http, "http://" + host + "/numbers/num3-h1707.html");
    EXPECT_FALSE(received.ok);
    EXPECT_EQ(received.blocks, 0);
}

TEST(CurlHttpClient, ExceptionFromABlockStopsTheTransferAndComesOut)
{
    LocalHttpServer server;
    server.serve("/big.html", HttpReply::page(everyByte(4 << 20)));
    CurlHttpClient http(server.host(), quick());
    int blocks = 0;
    EXPECT_THROW(http.fetch(
                     "http://" + server.host() + "/big.html",
                     [&](std::string_view) {
                         ++blocks;
                         throw std::length_error("enough");
                     },
                     [] {}),
                 std::length_error);
    EXPECT_EQ(blocks, 1);
}

TEST(CurlHttpClient, ExceptionFromIdleStopsTheTransferAndComesOut)
{
    LocalHttpServer server;
    server.serve("/silent.html", HttpReply::silent());
    CurlHttpClient http(server.host(), quick());
    EXPECT_THROW(http.fetch(
                     "http://" + server.host() + "/silent.html", [](std::string_view) {},
                     [] { throw std::runtime_error("window closed"); }),
                 std::runtime_error);
}

TEST(CurlHttpClient, HostNameIsTheHostWithoutItsPort)
{
    EXPECT_EQ(CurlHttpClient::hostName("www.results.example"), "www.results.example");
    EXPECT_EQ(CurlHttpClient::hostName("www.results.example:8080"), "www.results.example");
    EXPECT_EQ(CurlHttpClient::hostName("127.0.0.1:40000"), "127.0.0.1");
    EXPECT_EQ(CurlHttpClient::hostName("[::1]:8080"), "::1");
    EXPECT_EQ(CurlHttpClient::hostName("::1"), "::1");
}

TEST(CurlHttpClient, CanConnectWhenTheHostNameResolves)
{
    EXPECT_TRUE(CurlHttpClient("127.0.0.1:1").canConnect());
    EXPECT_TRUE(CurlHttpClient("localhost").canConnect());
    // .invalid never resolves.
    EXPECT_FALSE(CurlHttpClient("no-such-host.invalid").canConnect());
    EXPECT_FALSE(CurlHttpClient("no-such-host.invalid:80").canConnect());
    EXPECT_FALSE(CurlHttpClient("").canConnect());
}
