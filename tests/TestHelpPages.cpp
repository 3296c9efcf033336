// help.html and index.html, the pages that ship beside the programs: well-formed UTF-8 HTML that
// a browser shows as written, links that lead somewhere, and facts that agree with the programs
// (the version, the record layout, the messages, the tool's options).

#include "engine/Numbers3Scoring.h"
#include "entry/ResultEntry.h"
#include "entry/ResultRetrieval.h"
#include "games/Editions.h"
#include "history/HistoryReader.h"
#include "results/HistoryExport.h"
#include "results/ResultsCsv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using tolvi::test::readFileBytes;

namespace {

fs::path pagesDir()
{
    return fs::path(TOLVI_SOURCE_DIR) / "app" / "pages";
}

std::string page(const std::string& name)
{
    return readFileBytes(pagesDir() / name);
}

// The history that ships with the programs.
fs::path shippedHistory()
{
    return fs::path(TOLVI_SOURCE_DIR) / "data" / "Numbers.dat";
}

const char* const kPages[] = {"help.html", "index.html"};

// The first fault in UTF-8 encoding, or "" when there is none.
std::string utf8Fault(const std::string& text)
{
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80           ? 1
                             : (lead >> 5) == 0x6  ? 2
                             : (lead >> 4) == 0xE  ? 3
                             : (lead >> 3) == 0x1E ? 4
                                                   : 0;
        if (length == 0 || i + length > text.size())
            return "bad lead byte at " + std::to_string(i);
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return "bad continuation byte at " + std::to_string(i + k);
        i += length;
    }
    return {};
}

// Walks the markup and reports the first fault: a tag closed out of order or never closed, a
// stray "<", or an "&" that starts no character reference. Elements that have no end tag in
// HTML and "/>" (in the inline SVG) close themselves; <style> and <script> hold raw text.
std::string markupFault(const std::string& html)
{
    static const std::set<std::string> voidElements {"area",  "base", "br",   "col",    "embed", "hr", "img",
                                                     "input", "link", "meta", "source", "track", "wbr"};
    static const std::regex reference("^&(#[0-9]+|#x[0-9a-fA-F]+|[a-zA-Z][a-zA-Z0-9]*);");
    std::vector<std::string> open;
    auto where = [&](std::size_t at) {
        const std::size_t line = std::size_t(std::count(html.begin(), html.begin() + std::ptrdiff_t(at), '\n')) + 1;
        return " (line " + std::to_string(line) + ")";
    };
    for (std::size_t i = 0; i < html.size();) {
        if (html[i] == '&') {
            if (!std::regex_search(html.begin() + std::ptrdiff_t(i), html.end(), reference))
                return "bare &" + where(i);
            ++i;
            continue;
        }
        if (html[i] != '<') {
            ++i;
            continue;
        }
        if (html.compare(i, 4, "<!--") == 0) {
            const std::size_t end = html.find("-->", i);
            if (end == std::string::npos)
                return "unclosed comment" + where(i);
            i = end + 3;
            continue;
        }
        if (html.compare(i, 2, "<!") == 0) {
            i = html.find('>', i) + 1;
            continue;
        }
        const bool closing = i + 1 < html.size() && html[i + 1] == '/';
        std::size_t nameStart = i + (closing ? 2 : 1);
        std::size_t nameEnd = nameStart;
        while (nameEnd < html.size() &&
               (std::isalnum(static_cast<unsigned char>(html[nameEnd])) || html[nameEnd] == '-'))
            ++nameEnd;
        if (nameEnd == nameStart)
            return "stray <" + where(i);
        std::string name = html.substr(nameStart, nameEnd - nameStart);
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        // The tag ends at the first ">" outside a quoted attribute value.
        std::size_t end = nameEnd;
        char quote = 0;
        for (; end < html.size(); ++end) {
            const char c = html[end];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                break;
            } else if (c == '<') {
                return "\"<\" inside the tag <" + name + ">" + where(end);
            }
        }
        if (end == html.size())
            return "unterminated tag <" + name + ">" + where(i);
        const bool selfClosing = html[end - 1] == '/';
        i = end + 1;
        if (closing) {
            if (open.empty() || open.back() != name)
                return "</" + name + "> closes <" + (open.empty() ? std::string("nothing") : open.back()) + ">" +
                       where(nameStart);
            open.pop_back();
            continue;
        }
        if (selfClosing || voidElements.count(name))
            continue;
        if (name == "style" || name == "script") {
            const std::size_t close = html.find("</" + name, i);
            if (close == std::string::npos)
                return "unclosed <" + name + ">" + where(nameStart);
            i = close;
        }
        open.push_back(name);
    }
    if (!open.empty())
        return "<" + open.back() + "> never closed";
    return {};
}

std::vector<std::string> allMatches(const std::string& text, const std::string& pattern, int group = 1)
{
    std::vector<std::string> found;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
        found.push_back((*it)[group].str());
    return found;
}

std::string withoutTags(std::string text)
{
    return std::regex_replace(text, std::regex("<[^>]*>"), "");
}

std::string runTool(const std::string& arguments)
{
    const std::string command = std::string(TOLVI_CLI_PATH) + " " + arguments + " 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string output;
    if (!pipe)
        return output;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get()))
        output.append(buffer, n);
    return output;
}

}  // namespace

TEST(HelpPages, AreUtf8HtmlThatDeclaresItself)
{
    for (const char* name : kPages) {
        SCOPED_TRACE(name);
        const std::string html = page(name);
        EXPECT_EQ(utf8Fault(html), "");
        EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
        // A browser looks for the encoding in the first 1024 bytes.
        const std::size_t charset = html.find("<meta charset=\"utf-8\">");
        EXPECT_NE(charset, std::string::npos);
        EXPECT_LT(charset, 1024u);
        EXPECT_NE(html.find("<html lang=\"ja\">"), std::string::npos);
        EXPECT_FALSE(allMatches(html, "<title>([^<]+)</title>").empty());
    }
}

TEST(HelpPages, MarkupIsWellFormed)
{
    for (const char* name : kPages) {
        SCOPED_TRACE(name);
        EXPECT_EQ(markupFault(page(name)), "");
    }
}

TEST(HelpPages, MarkupCheckFindsTheFaultsItLooksFor)
{
    EXPECT_EQ(markupFault("<p><b>x</b></p>"), "");
    EXPECT_EQ(markupFault("<p title=\"a>b\">x &amp; y &#x41; &#65;<br></p><svg><rect/></svg>"), "");
    EXPECT_EQ(markupFault("<style>a > b { }</style>"), "");
    EXPECT_NE(markupFault("<p><b>x</p></b>"), "");
    EXPECT_NE(markupFault("<p>x"), "");
    EXPECT_NE(markupFault("<p>a < b</p>"), "");
    EXPECT_NE(markupFault("<p>cd ~/x && run &</p>"), "");
    EXPECT_NE(markupFault("</p>"), "");
}

TEST(HelpPages, LinksLeadSomewhere)
{
    for (const char* name : kPages) {
        SCOPED_TRACE(name);
        const std::string html = page(name);
        const std::vector<std::string> ids = allMatches(html, "\\sid=\"([^\"]+)\"");
        const std::set<std::string> unique(ids.begin(), ids.end());
        EXPECT_EQ(unique.size(), ids.size()) << "an id is used twice";
        for (const std::string& href : allMatches(html, "href=\"([^\"]*)\"")) {
            if (href.rfind("#", 0) == 0) {
                EXPECT_TRUE(unique.count(href.substr(1))) << href;
            } else {
                // Only the sibling page and the shared style sheet: the pages are read without a network.
                EXPECT_TRUE(href == "help.html" || href == "index.html" || href == "tolvi-pages.css") << href;
                EXPECT_TRUE(fs::exists(pagesDir() / href)) << href;
            }
        }
    }
}

TEST(HelpPages, ShowTheProgramsVersion)
{
    const std::string caption = tolvi::describe(tolvi::Edition::Numbers3).windowCaption;
    const std::string version = caption.substr(caption.rfind(" Ver") + 1);
    ASSERT_TRUE(std::string(tolvi::describe(tolvi::Edition::Mini).windowCaption).ends_with(" " + version));
    for (const char* name : kPages) {
        SCOPED_TRACE(name);
        EXPECT_NE(page(name).find(version), std::string::npos);
    }
    EXPECT_NE(page("help.html").find(caption), std::string::npos);
    // The support page explains the package's version beside it.
    EXPECT_NE(page("index.html").find("<strong>" TOLVI_VERSION "</strong>"), std::string::npos);
}

TEST(HelpPages, HelpCoversWhatTheUserMeets)
{
    const std::string text = withoutTags(page("help.html"));
    for (const char* topic :
         {"◎", "○", "▲", "一桁違い", "回収率", "ウォークフォワード", "TolviNumbersMini", "結果入力",
          "インターネットから参照", "グラフ…", "画像として保存", "Numbers.dat", "87バイト", "一字違いを表示する。",
          "Mismatch", "TolviNumbers3.ini", "TolviNumbersMini.ini", "[Option]"}) {
        EXPECT_NE(text.find(topic), std::string::npos) << topic;
    }
}

TEST(HelpPages, HelpQuotesTheProgramsMessagesExactly)
{
    const std::string text = withoutTags(page("help.html"));
    // A message of several lines is shown with a line break in the table: each line is quoted.
    for (const char* message : {tolvi::kNumbers3Message, tolvi::kNumbers4Message, tolvi::kPrizeMessage,
                                tolvi::kNoServerMessage, tolvi::kNoConnectionMessage, tolvi::kNotFoundMessage,
                                tolvi::kNoReplyMessage, tolvi::kCutShortMessage, tolvi::kTooLargeMessage}) {
        for (const std::string& line : allMatches(message, "([^\r\n]+)"))
            EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    EXPECT_NE(text.find(" に書き込めません。"), std::string::npos);
    // A message that names the file is quoted with the place the page writes for the path.
    EXPECT_NE(text.find(tolvi::HistoryReader::noDrawMessage("（場所）")), std::string::npos);
}

// The result rows drawn in the help's picture of the window carry the marks the program gives.
TEST(HelpPages, PictureOfTheResultListFollowsTheProgramsRules)
{
    const std::string html = page("help.html");
    const std::regex row("<div><span class=\"mono\">[0-9]+</span><span class=\"mono\">([0-9]{3})</span>"
                         "<span class=\"mono\">(([0-9]{3})[^<]*)</span></div>");
    int rows = 0;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), row); it != std::sregex_iterator(); ++it, ++rows) {
        const std::string winning = (*it)[1], shown = (*it)[2], candidate = (*it)[3];
        EXPECT_EQ(shown, tolvi::numbers3ResultText(candidate, tolvi::scoreNumbers3(candidate, winning, true)))
            << candidate << " against " << winning;
    }
    EXPECT_GE(rows, 4);
}

TEST(HelpPages, RecordLayoutTableAddsUpToTheRecord)
{
    const std::string html = page("help.html");
    // Rows of the layout table: columns "A～B" or "A", width, content.
    const std::regex row(
        "<tr><td class=\"num\">([0-9]+)(?:～([0-9]+))?</td><td class=\"num\">([0-9]+)</td><td>([^\n]*)</td></tr>");
    int nextColumn = 1;
    std::vector<int> separatorColumns;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), row); it != std::sregex_iterator(); ++it) {
        const int first = std::stoi((*it)[1].str());
        const int last = (*it)[2].matched ? std::stoi((*it)[2].str()) : first;
        EXPECT_EQ(first, nextColumn) << "a gap or an overlap before column " << first;
        EXPECT_EQ(std::stoi((*it)[3].str()), last - first + 1) << "width of columns " << first;
        if ((*it)[4].str().find("「,」") != std::string::npos)
            separatorColumns.push_back(first);
        nextColumn = last + 1;
    }
    EXPECT_EQ(nextColumn, 88) << "the table must end with column 87";

    // The example record is a real record of the shipped history, and its commas stand where
    // the table says.
    const std::vector<std::string> examples = allMatches(html, "<pre><code>([0-9]{4},[^<]*)</code></pre>");
    ASSERT_EQ(examples.size(), 1u);
    const std::string& example = examples[0];
    ASSERT_EQ(example.size(), 85u);
    EXPECT_NE(readFileBytes(shippedHistory()).find(example + "\r\n"), std::string::npos);
    EXPECT_EQ(separatorColumns.size(), 11u);
    for (const int column : separatorColumns)
        EXPECT_EQ(example[std::size_t(column - 1)], ',') << "column " << column;
}

TEST(HelpPages, SupportPageDocumentsTheToolAsItIs)
{
    const std::string html = page("index.html");
    std::map<std::string, std::string> synopses;
    // The first one-line block for each command is its synopsis.
    for (const std::string& line :
         allMatches(html, "<pre><code>(tolvi (run|append|import|export|check|fetch|stats) [-\\[][^<\n]*)</code></pre>"))
        synopses.emplace(line.substr(6, line.find(' ', 6) - 6), line);
    for (const char* command : {"run", "append", "import", "export", "check", "fetch", "stats"}) {
        SCOPED_TRACE(command);
        ASSERT_TRUE(synopses.count(command)) << "no synopsis for tolvi " << command;
        const std::string help = runTool(std::string(command) + " --help");
        const std::vector<std::string> options = allMatches(synopses[command], "(--[a-z][a-z-]*)");
        EXPECT_FALSE(options.empty());
        for (const std::string& option : options)
            EXPECT_NE(help.find(option), std::string::npos) << option << " is not an option of tolvi " << command;
    }
}

TEST(HelpPages, NameTheResultsFilesColumnsAsTheProgramsDo)
{
    using tolvi::ResultsColumnNames;
    // The export writes the reader's English names, and the pages that list the export's columns
    // list them in its order.
    std::string english;
    for (const ResultsColumnNames& column : tolvi::resultsColumnNames())
        english += (english.empty() ? "" : ",") + std::string(column.english);
    EXPECT_EQ(english, tolvi::kExportHeader);
    const fs::path docs = fs::path(TOLVI_SOURCE_DIR) / "docs";
    for (const std::string& listing :
         {page("index.html"), readFileBytes(docs / "tolvi.1"), readFileBytes(docs / "tolvi.ja.1")}) {
        std::size_t at = 0;
        for (const ResultsColumnNames& column : tolvi::resultsColumnNames()) {
            at = listing.find(column.english, at);
            ASSERT_NE(at, std::string::npos) << column.english << " is not listed in the export's order";
        }
    }
    // The import's table in help.html, a row per layout: the Numbers3 columns in order, each by a
    // name the reader knows it by in that layout (or by its Japanese one, which every layout reads).
    const std::string help = page("help.html");
    for (const auto& [layout, name] : {std::pair {"英語", &ResultsColumnNames::english},
                                       {"日本語", &ResultsColumnNames::japanese},
                                       {"ダウンロード形式", &ResultsColumnNames::download}}) {
        SCOPED_TRACE(layout);
        const std::vector<std::string> row = allMatches(help, std::string("<tr><td>") + layout + "</td><td>([^\n]*)");
        ASSERT_EQ(row.size(), 1u);
        std::size_t at = 0;
        for (const ResultsColumnNames& column : tolvi::resultsColumnNames()) {
            if (column.japanese.empty())
                continue;  // Numbers4's columns: the export's, listed above
            const std::size_t own = row[0].find(column.*name, at);
            at = own != std::string::npos ? own : row[0].find(column.japanese, at);
            ASSERT_NE(at, std::string::npos) << column.*name << " is not listed in order";
        }
    }
}

TEST(HelpPages, DescribeTheShippedHistoryAsItIs)
{
    // Its last draw, the payback rate a run over it shows, and the tool's output the support page
    // shows for it, line by line.
    const std::string dir = "--dir \"" + shippedHistory().parent_path().string() + "\"";
    const std::string history = readFileBytes(shippedHistory());
    ASSERT_GE(history.size(), 87u);
    const std::string lastDraw =
        "第" + std::to_string(std::stoi(history.substr((history.size() / 87 - 1) * 87, 4))) + "回";
    const std::vector<std::string> payback =
        allMatches(runTool("run --no-mismatch --json " + dir), "\"Label14\":\" *([0-9]+)\"");
    ASSERT_EQ(payback.size(), 1u);
    for (const char* name : kPages) {
        SCOPED_TRACE(name);
        const std::string text = withoutTags(page(name));
        EXPECT_NE(text.find(lastDraw + "まで"), std::string::npos) << lastDraw;
        EXPECT_NE(text.find("回収率は " + payback[0] + "％"), std::string::npos) << payback[0];
    }
    const std::string support = withoutTags(page("index.html"));
    for (const char* command : {"stats ", "run --rows 3 "})
        for (const std::string& line : allMatches(runTool(command + dir), "([^\n]+)"))
            EXPECT_NE(support.find(line), std::string::npos) << command << ": " << line;
}
