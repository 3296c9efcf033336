#include "transport/CurlLibrary.h"

#include "base/Errors.h"

#include <dlfcn.h>
#include <mutex>
#include <string>

namespace tolvi {

namespace {

constexpr const char* kCurlLibraryName = "libcurl.so.4";

template <typename Function>
void resolve(void* handle, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(::dlsym(handle, name));
    if (!function)
        throw IoError(std::string("インターネット接続ライブラリ (") + kCurlLibraryName + ") に " + name + " がありません");
}

CurlLibrary load()
{
    // Never closed: libcurl stays for the rest of the program once a page was fetched.
    void* handle = ::dlopen(kCurlLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        throw IoError(std::string("インターネット接続ライブラリ (") + kCurlLibraryName + ") を読み込めません");
    CurlLibrary curl {};
    resolve(handle, "curl_global_init", curl.globalInit);
    resolve(handle, "curl_easy_init", curl.easyInit);
    resolve(handle, "curl_easy_cleanup", curl.easyCleanup);
    resolve(handle, "curl_easy_setopt", curl.easySetopt);
    resolve(handle, "curl_easy_getinfo", curl.easyGetinfo);
    resolve(handle, "curl_easy_strerror", curl.easyStrerror);
    resolve(handle, "curl_multi_init", curl.multiInit);
    resolve(handle, "curl_multi_cleanup", curl.multiCleanup);
    resolve(handle, "curl_multi_add_handle", curl.multiAddHandle);
    resolve(handle, "curl_multi_remove_handle", curl.multiRemoveHandle);
    resolve(handle, "curl_multi_perform", curl.multiPerform);
    resolve(handle, "curl_multi_poll", curl.multiPoll);
    resolve(handle, "curl_multi_info_read", curl.multiInfoRead);
    resolve(handle, "curl_slist_append", curl.slistAppend);
    resolve(handle, "curl_slist_free_all", curl.slistFreeAll);
    curl.globalInit(CURL_GLOBAL_DEFAULT);
    return curl;
}

}  // namespace

const CurlLibrary& CurlLibrary::get()
{
    // A failed load is tried again at the next fetch (call_once rethrows and stays unset).
    static std::once_flag once;
    static CurlLibrary curl;
    std::call_once(once, [] { curl = load(); });
    return curl;
}

}  // namespace tolvi
