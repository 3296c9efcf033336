#include "support/HistoryBuilder.h"

#include <cstdio>

namespace tolvi::test {

std::string drawRecord(const DrawSpec& spec)
{
    char text[128];
    std::snprintf(text, sizeof text, "%04d,%3s,%07d,%07d,%07d,%07d,%07d,0000,0000000,0000000,0000000,0000000\r\n",
                  spec.draw, spec.winning.c_str(), spec.straight, spec.box, spec.setStraight, spec.setBox, spec.mini);
    return text;
}

std::string commentRecord(const std::string& text)
{
    std::string record = ";" + text;
    record.resize(85, ' ');
    return record + "\r\n";
}

HistoryBuilder& HistoryBuilder::draw(int number, const std::string& winning, int straight, int box, int mini)
{
    bytes_ += drawRecord({number, winning, straight, box, 0, 0, mini});
    return *this;
}

HistoryBuilder& HistoryBuilder::comment(const std::string& text)
{
    bytes_ += commentRecord(text);
    return *this;
}

HistoryBuilder& HistoryBuilder::raw(const std::string& bytes)
{
    bytes_ += bytes;
    return *this;
}

HistoryBuilder& HistoryBuilder::endOfFile()
{
    bytes_ += '\x1A';
    return *this;
}

}  // namespace tolvi::test
