#pragma once
// The libFuzzer entry of one check: the input goes through the check in a working folder of the
// process's own, and a broken promise ends the process with its text, which libFuzzer reports
// as a crash together with the input.

#include "fuzz/FuzzChecks.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace tolvi::fuzz {

// One folder for all inputs of the process, removed at its end.
inline const std::filesystem::path& workFolder()
{
    struct Folder {
        std::filesystem::path path;
        Folder()
        {
            std::string pattern = (std::filesystem::temp_directory_path() / "tolvi-fuzz-XXXXXX").string();
            if (!::mkdtemp(pattern.data())) {
                std::perror("mkdtemp");
                std::abort();
            }
            path = pattern;
        }
        ~Folder()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder folder;
    return folder.path;
}

template <typename Check> int runCheck(const std::uint8_t* data, std::size_t size, Check check)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    try {
        check(input, workFolder());
    } catch (const CheckFailed& e) {
        std::fprintf(stderr, "\n*** broken promise: %s\n", e.what());
        std::abort();
    }
    return 0;
}

}  // namespace tolvi::fuzz
