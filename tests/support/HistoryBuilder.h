#pragma once
// Builds history file contents record by record for tests.

#include <string>

namespace tolvi::test {

struct DrawSpec {
    int draw = 1;
    std::string winning = "000";  // three digits or "---"
    int straight = 0, box = 0, setStraight = 0, setBox = 0, mini = 0;
};

// One 87-byte draw record.
std::string drawRecord(const DrawSpec& spec);
// One 87-byte comment record starting with ";".
std::string commentRecord(const std::string& text = "comment");

class HistoryBuilder {
public:
    HistoryBuilder& draw(int number, const std::string& winning, int straight = 0, int box = 0, int mini = 0);
    HistoryBuilder& comment(const std::string& text = "comment");
    HistoryBuilder& raw(const std::string& bytes);
    HistoryBuilder& endOfFile();  // the single 0x1A byte
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

}  // namespace tolvi::test
