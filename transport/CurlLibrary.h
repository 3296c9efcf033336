#pragma once
// libcurl, loaded the first time a page is fetched. Only a retrieval needs it, and with it come
// some thirty libraries (TLS, SSH, LDAP, ...) that would otherwise be mapped into every start of
// the programs and of every `tolvi` command.

#include <curl/curl.h>

namespace tolvi {

struct CurlLibrary {
    decltype(&::curl_global_init) globalInit;
    decltype(&::curl_easy_init) easyInit;
    decltype(&::curl_easy_cleanup) easyCleanup;
    decltype(&::curl_easy_setopt) easySetopt;
    decltype(&::curl_easy_getinfo) easyGetinfo;
    decltype(&::curl_easy_strerror) easyStrerror;
    decltype(&::curl_multi_init) multiInit;
    decltype(&::curl_multi_cleanup) multiCleanup;
    decltype(&::curl_multi_add_handle) multiAddHandle;
    decltype(&::curl_multi_remove_handle) multiRemoveHandle;
    decltype(&::curl_multi_perform) multiPerform;
    decltype(&::curl_multi_poll) multiPoll;
    decltype(&::curl_multi_info_read) multiInfoRead;
    decltype(&::curl_slist_append) slistAppend;
    decltype(&::curl_slist_free_all) slistFreeAll;

    // Loads and initialises libcurl once; IoError when it is not installed.
    static const CurlLibrary& get();
};

}  // namespace tolvi
