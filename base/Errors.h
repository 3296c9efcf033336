#pragma once
// The two kinds of failure the core raises. Every window handler catches them and shows their
// text in the standard error box; the command-line tool prints it.

#include <stdexcept>
#include <string>

namespace tolvi {

// A file could not be opened, read, written, sought or locked.
class IoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that should hold an integer (a record field, an edit) does not.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A request the program refuses before it touches a file (a damaged history file, a value
// that does not fit its field). Its text is a complete message for the user.
class RefusedError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "<what>: <reason>" with the reason for `errorNumber` in Japanese.
std::string describeSystemError(const std::string& what, int errorNumber);

}  // namespace tolvi
