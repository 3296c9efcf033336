#pragma once
// Runs the built tolvi tool in a shell, in the C locale, and catches its standard output.

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace tolvi::test {

struct CommandResult {
    int status = -1;
    std::string output;
};

// `arguments` is shell text: quote what needs it. Standard error is dropped.
inline CommandResult runTolvi(const std::string& arguments)
{
    CommandResult result;
    const std::string command = std::string("LANG=C LC_ALL=C ") + TOLVI_CLI_PATH + " " + arguments + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 65536> buffer {};
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace tolvi::test
