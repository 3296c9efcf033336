#include "settings/IniFile.h"

#include <tuple>
#include <utility>

namespace tolvi {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool isBlank(char c)
{
    // A CR that is not followed by LF (a stray one, or the last byte of the file) is treated
    // like a blank, so that it never becomes part of a name or a value.
    return c == ' ' || c == '\t' || c == '\r';
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

// [begin, end) without the blanks at either end.
std::pair<std::size_t, std::size_t> trimmed(std::string_view text, std::size_t begin, std::size_t end)
{
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return {begin, end};
}

struct Line {
    std::size_t begin = 0;
    std::size_t contentEnd = 0;  // before CR LF or LF
    std::size_t end = 0;         // after the line end
    bool hasLineEnd = false;
};

enum class LineKind { Blank, Comment, Section, Entry };

struct ParsedLine {
    LineKind kind = LineKind::Blank;
    std::size_t nameBegin = 0, nameEnd = 0;  // section or key name
    bool hasEquals = false;
    std::size_t valueBegin = 0, valueEnd = 0;  // trimmed value, quotes included
};

ParsedLine parseLine(std::string_view text, const Line& line)
{
    ParsedLine parsed;
    const auto [begin, end] = trimmed(text, line.begin, line.contentEnd);
    if (begin == end)
        return parsed;
    if (text[begin] == ';') {
        parsed.kind = LineKind::Comment;
        return parsed;
    }
    if (text[begin] == '[') {
        // Searched within the line only: searching back from its end through the whole file
        // made a file of many lines without "]" quadratic to read.
        const std::size_t close = text.substr(begin, end - begin).rfind(']');
        if (close != std::string_view::npos && close > 0) {
            parsed.kind = LineKind::Section;
            std::tie(parsed.nameBegin, parsed.nameEnd) = trimmed(text, begin + 1, begin + close);
            return parsed;
        }
    }
    parsed.kind = LineKind::Entry;
    const std::size_t equals = text.substr(0, end).find('=', begin);  // from the line's start on
    if (equals == std::string_view::npos) {
        std::tie(parsed.nameBegin, parsed.nameEnd) = trimmed(text, begin, end);
        parsed.valueBegin = parsed.valueEnd = parsed.nameEnd;
        return parsed;
    }
    parsed.hasEquals = true;
    std::tie(parsed.nameBegin, parsed.nameEnd) = trimmed(text, begin, equals);
    std::tie(parsed.valueBegin, parsed.valueEnd) = trimmed(text, equals + 1, end);
    return parsed;
}

template <typename Visit> void forEachLine(std::string_view text, Visit visit)
{
    std::size_t pos = text.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
    while (pos < text.size()) {
        Line line;
        line.begin = pos;
        const std::size_t newline = text.find('\n', pos);
        if (newline == std::string_view::npos) {
            line.contentEnd = line.end = text.size();
        } else {
            line.hasLineEnd = true;
            line.end = newline + 1;
            line.contentEnd = newline;
            if (line.contentEnd > line.begin && text[line.contentEnd - 1] == '\r')
                --line.contentEnd;
        }
        if (!visit(line))
            return;
        pos = line.end;
    }
}

}  // namespace

struct IniFile::Entry {
    bool sectionFound = false;
    // Where a new entry of the section goes: after its last entry line, or after its header.
    std::size_t insertAt = 0;
    bool insertAfterUnterminatedLine = false;

    bool keyFound = false;
    bool hasEquals = false;
    std::size_t valueBegin = 0, valueEnd = 0;
};

IniFile::IniFile(std::string bytes) : bytes_(std::move(bytes)) { }

IniFile::Entry IniFile::find(std::string_view section, std::string_view key) const
{
    const std::string_view text = bytes_;
    Entry entry;
    bool inSection = false;
    forEachLine(text, [&](const Line& line) {
        const ParsedLine parsed = parseLine(text, line);
        if (parsed.kind == LineKind::Section) {
            if (inSection)
                return false;  // only the first section of that name counts
            if (sameName(text.substr(parsed.nameBegin, parsed.nameEnd - parsed.nameBegin), section)) {
                inSection = true;
                entry.sectionFound = true;
                entry.insertAt = line.end;
                entry.insertAfterUnterminatedLine = !line.hasLineEnd;
            }
            return true;
        }
        if (!inSection || parsed.kind != LineKind::Entry)
            return true;
        entry.insertAt = line.end;
        entry.insertAfterUnterminatedLine = !line.hasLineEnd;
        if (sameName(text.substr(parsed.nameBegin, parsed.nameEnd - parsed.nameBegin), key)) {
            entry.keyFound = true;
            entry.hasEquals = parsed.hasEquals;
            entry.valueBegin = parsed.valueBegin;
            entry.valueEnd = parsed.valueEnd;
            return false;
        }
        return true;
    });
    return entry;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const
{
    const Entry entry = find(section, key);
    if (!entry.keyFound)
        return std::nullopt;
    std::string_view value = std::string_view(bytes_).substr(entry.valueBegin, entry.valueEnd - entry.valueBegin);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

std::string_view IniFile::lineEnd() const
{
    const std::size_t newline = bytes_.find('\n');
    if (newline != std::string::npos && (newline == 0 || bytes_[newline - 1] != '\r'))
        return "\n";
    return "\r\n";
}

void IniFile::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    const Entry entry = find(section, key);
    const std::string newline(lineEnd());
    if (entry.keyFound) {
        if (entry.hasEquals)
            bytes_.replace(entry.valueBegin, entry.valueEnd - entry.valueBegin, value);
        else
            bytes_.insert(entry.valueBegin, "=" + std::string(value));
        return;
    }
    const std::string line = std::string(key) + "=" + std::string(value) + newline;
    if (entry.sectionFound) {
        bytes_.insert(entry.insertAt, (entry.insertAfterUnterminatedLine ? newline : std::string()) + line);
        return;
    }
    if (!bytes_.empty() && bytes_.back() != '\n' && bytes_ != kUtf8Bom)
        bytes_ += newline;
    bytes_ += "[" + std::string(section) + "]" + newline + line;
}

}  // namespace tolvi
