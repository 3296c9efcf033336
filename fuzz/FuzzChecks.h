#pragma once
// What must hold for any bytes at all given to the history file's readers and writer, the two
// prediction runs, the results page parser and retrieval, the entry panel's checks, an import,
// the settings file and the publisher's results files. Each check feeds one input through the
// real code and raises CheckFailed when a promise is broken; the errors the programs show to the
// user (IoError, ConversionError, RefusedError) are fine, anything else is not. The fuzz targets (fuzz/fuzz_*.cpp) call
// these checks on generated inputs, and the core tests call them again on every input that once broke one
// (tests/data/fuzz-regressions/) and on the seed corpora.

#include "base/Errors.h"

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tolvi::fuzz {

namespace fs = std::filesystem;

// A broken promise; its text says which.
class CheckFailed : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

void require(bool condition, const std::string& what);
void writeBytes(const fs::path& path, std::string_view bytes);
std::string readBytes(const fs::path& path);

// The kinds of failure a handler shows in its error box: the text and the kind, or nothing.
struct Outcome {
    std::optional<std::string> errorType, errorText;
    bool failed() const { return errorType.has_value(); }
    bool operator==(const Outcome&) const = default;
};

template <typename Action> Outcome shownFailure(Action&& action)
{
    Outcome outcome;
    try {
        action();
    } catch (const IoError& e) {
        outcome = {"IoError", e.what()};
    } catch (const ConversionError& e) {
        outcome = {"ConversionError", e.what()};
    } catch (const RefusedError& e) {
        outcome = {"RefusedError", e.what()};
    }
    // Anything else (std::out_of_range, std::length_error, ...) goes on to the caller as a fault.
    return outcome;
}

// Each check takes one input and a folder of its own to work in.

// Sequential read, last-record lookup, the checker and one append over the bytes as Numbers.dat.
void checkHistoryFile(std::string_view bytes, const fs::path& dir);
// Both editions' runs over the bytes as Numbers.dat, against the plain step-by-step runs.
void checkRuns(std::string_view bytes, const fs::path& dir);
// The results pages: the parser and a whole retrieval against a server scripted by the input.
void checkResultsPage(std::string_view data, const fs::path& dir);
// The entry panel's checks and append; the input is the eleven edit texts separated by LF.
void checkEntry(std::string_view data, const fs::path& dir);
// An import of the input (its first byte chooses the history) and an export read back.
void checkImport(std::string_view data, const fs::path& dir);
// Loading and saving the settings file with the input as its content.
void checkSettings(std::string_view data, const fs::path& dir);
// The input as one of the publisher's per-draw files and as its list file.
void checkPublisherFiles(std::string_view data, const fs::path& dir);

}  // namespace tolvi::fuzz
