// Placeholder until web retrieval is built.
#include "entry/ResultRetrieval.h"

namespace tolvi {

namespace {
class NoHttpClient : public HttpClient {
public:
    bool canConnect() override { return false; }
    bool fetch(const std::string&, const std::function<void(std::string_view)>&, const std::function<void()>&) override
    {
        return false;
    }
};
}  // namespace

std::unique_ptr<HttpClient> makeCurlClient(const std::string&)
{
    return std::make_unique<NoHttpClient>();
}

std::string defaultResultsHost()
{
    return TOLVI_RESULTS_HOST;
}

RetrievalResult retrieveResults(std::string_view, HttpClient&, const std::string&, const std::filesystem::path&,
                                const RetrievalHooks&)
{
    return {false, MessageKind::Plain, "エラー：インターネットに接続できません。"};
}

}  // namespace tolvi
