#include "transport/SourceDownload.h"

#include "transport/CurlHttpClient.h"
#include "base/Errors.h"

#include <cctype>
#include <cerrno>
#include <cstdio>

namespace tolvi {

namespace {

// An ordinary name that says who asks; the browser name of the results retrieval is kept for the
// results server alone.
constexpr const char* kAgent = "tolvi-numbers/1.6";

// "10 秒", "0.3 秒".
std::string seconds(std::chrono::milliseconds wait)
{
    const long long ms = wait.count();
    std::string text = std::to_string(ms / 1000);
    if (ms % 1000 != 0) {
        char fraction[8];
        std::snprintf(fraction, sizeof fraction, ".%03lld", ms % 1000);
        std::string digits = fraction;
        digits.erase(digits.find_last_not_of('0') + 1);
        text += digits;
    }
    return text + " 秒";
}

std::string timeOutCause(CurlOutcome::TimeOut timeOut, const DownloadLimits& limits)
{
    switch (timeOut) {
    case CurlOutcome::TimeOut::Connect: return seconds(limits.connect) + "以内に接続できませんでした";
    case CurlOutcome::TimeOut::Whole: return "転送全体の制限時間 (" + seconds(limits.whole) + ") を超えました";
    default: return seconds(limits.receive) + "のあいだ何も受信できなかったため中止しました";
    }
}

// Why the download failed, in the user's words; libcurl's own text follows it for the details.
std::string cause(const CurlOutcome& outcome, const DownloadLimits& limits)
{
    switch (outcome.result) {
    // The address itself was checked before: a redirect led elsewhere, or what came back was
    // not an HTTP response at all (no status).
    case CURLE_UNSUPPORTED_PROTOCOL:
        return outcome.status == 0 ? "サーバーの応答が HTTP ではありません"
                                   : "転送先の指定 (リダイレクト) が http と https 以外のアドレスです";
    case CURLE_URL_MALFORMAT: return "アドレスの形式が正しくありません";
    case CURLE_COULDNT_RESOLVE_HOST: return "ホスト名が見つかりません";
    case CURLE_COULDNT_RESOLVE_PROXY: return "プロキシのホスト名が見つかりません";
    case CURLE_COULDNT_CONNECT:
        if (outcome.osError == ECONNREFUSED)
            return "接続を拒否されました";
        if (outcome.osError == ENETUNREACH || outcome.osError == EHOSTUNREACH)
            return "サーバーまでのネットワークがありません";
        return "サーバーに接続できません";
    case CURLE_OPERATION_TIMEDOUT: return timeOutCause(outcome.timeOut, limits);
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        if (outcome.osError == ECONNRESET)
            return "接続がリセットされました";
        return "通信の途中で接続が切れました";
    case CURLE_PARTIAL_FILE: return "データが最後まで届かないうちに接続が切れました";
    case CURLE_GOT_NOTHING: return "サーバーが何も返さずに接続を切りました";
    case CURLE_WEIRD_SERVER_REPLY: return "サーバーの応答が HTTP ではありません";
    case CURLE_HTTP_RETURNED_ERROR: return "サーバーが HTTP ステータス " + std::to_string(outcome.status) + " を返しました";
    case CURLE_FILESIZE_EXCEEDED:
        return "データが上限の " + std::to_string(limits.maxBytes) + " バイトを超えるため受信を中止しました";
    case CURLE_TOO_MANY_REDIRECTS: return "転送先の指定 (リダイレクト) が多すぎます";
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_CRL_BADFILE: return "サーバーの証明書を確認できません";
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_CERTPROBLEM: return "TLS (https) の接続を確立できません";
    case CURLE_OUT_OF_MEMORY: return "メモリが足りません";
    default: return "転送に失敗しました";
    }
}

}  // namespace

bool isDownloadAddress(std::string_view source)
{
    return startsWithNoCase(source, "http://") || startsWithNoCase(source, "https://");
}

std::string downloadSource(const std::string& address, const DownloadLimits& limits)
{
    const std::string failed = address + " をダウンロードできません: ";
    // Checked here as well as by libcurl, so that no other scheme even loads the library.
    if (!isDownloadAddress(address))
        throw IoError(failed + "http:// か https:// で始まるアドレスだけを扱えます");

    CurlRequest request;
    request.agent = kAgent;
    request.timeouts.connect = limits.connect;
    // One try: a command the user can simply run again needs no second wait for a dead server.
    request.timeouts.connectRetries = 0;
    request.timeouts.receive = limits.receive;
    request.timeouts.whole = limits.whole;
    // An error page is not the source, and there is no point receiving it.
    request.failOnHttpError = true;
    request.maxBytes = limits.maxBytes;

    std::string body;
    CurlOutcome outcome;
    try {
        outcome = curlFetch(address, request, [&body](std::string_view block) { body.append(block); }, {});
    } catch (const IoError& e) {  // libcurl is not installed
        throw IoError(failed + e.what());
    }
    if (outcome.result == CURLE_HTTP_RETURNED_ERROR)
        throw HttpStatusError(failed + cause(outcome, limits), outcome.status);
    if (outcome.result != CURLE_OK)
        throw IoError(failed + cause(outcome, limits) + " (" + outcome.detail + ")");
    // libcurl lets a few statuses of 400 and more through its check (401 and 407 while it still
    // negotiates a login).
    if (outcome.status >= 400) {
        CurlOutcome refused = outcome;
        refused.result = CURLE_HTTP_RETURNED_ERROR;
        throw HttpStatusError(failed + cause(refused, limits), outcome.status);
    }
    // A body without a marked end that stops inside a row may have been cut there: its last row
    // would be imported with a value cut short (23218 as 232), and a later import never mends
    // a draw already in the history.
    if (!outcome.delimited && !body.empty() && body.back() != '\n')
        throw IoError(failed + "サーバーがデータの長さを示さず、データが行の途中で終わっているため、途中で切れた"
                               "可能性があります。もう一度ダウンロードするか、ファイルに保存してから取り込んでください");
    return body;
}

}  // namespace tolvi
