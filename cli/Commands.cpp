#include "cli/Commands.h"

#include "history/DataFolder.h"
#include "history/HistoryFile.h"

#include "base/Errors.h"

#include <cerrno>
#include <exception>
#include <functional>
#include <iostream>
#include <map>
#include <regex>
#include <sys/stat.h>

namespace tolvi::cli {

int printingErrors(const std::function<int()>& command)
{
    int status = 1;
    try {
        status = command();
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
    } catch (...) {
        std::cerr << "予期しないエラーが起きたため、中断しました。\n";
    }
    // What a command printed is its result: output that could not be written (a full disk, a
    // closed pipe) is a failure, not a success with nothing to show.
    errno = 0;
    std::cout.flush();
    if (!std::cout) {
        std::cerr << describeSystemError("標準出力に書き込めません", errno ? errno : EIO) << '\n';
        return 1;
    }
    return status;
}

void addHistoryDirOption(CLI::App& command, std::string& dir)
{
    CLI::Option* option = command.add_option(
        "--dir", dir,
        "Numbers.dat のあるフォルダー (既定: カレントフォルダーに Numbers.dat があればそこ、なければデータフォルダー)");
    command.parse_complete_callback([&command, option, &dir] {
        // Words left over end the run with a usage error before the command runs.
        if (option->count() == 0 && command.remaining().empty())
            dir = defaultHistoryFolder().string();
    });
}

std::filesystem::path defaultHistoryFolder()
{
    std::error_code unreadable;  // a working folder that cannot be searched holds no history of ours
    const bool here = std::filesystem::exists(kHistoryFileName, unreadable);
    const std::filesystem::path data = userDataFolder();
    const std::filesystem::path folder = here || data.empty() ? std::filesystem::path(".") : data;
    // As the launcher does at the first start (the user's alone), so that the first import has a
    // place to create the history in; where it cannot be made, the command's error names the path.
    if (folder == data) {
        const mode_t mask = ::umask(077);
        std::filesystem::create_directories(data, unreadable);
        ::umask(mask);
    }
    static bool told = false;
    if (!told)
        std::cerr << "履歴ファイル: " << HistoryFile::fullPath(folder / kHistoryFileName).string()
                  << (folder == data ? " (データフォルダー)" : " (カレントフォルダー)") << '\n';
    told = true;
    return folder;
}

std::size_t displayWidth(std::string_view text)
{
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        // Wide from the Hangul jamo on, except the half-width katakana the window's captions use.
        width += code >= 0x1100 && !(code >= 0xFF61 && code <= 0xFF9F) ? 2 : 1;
        i += length;
    }
    return width;
}

std::string padToWidth(const std::string& text, std::size_t width)
{
    const std::size_t used = displayWidth(text);
    return used >= width ? text : text + std::string(width - used, ' ');
}

namespace {

// What the help shows after an option, and the name of an argument, instead of CLI11's type names
// (TEXT, INT:NONNEGATIVE). An option of a command not listed here shows "値".
const std::map<std::string, std::string> kPlaceholders {
    {"--dir", "DIR"},       {"--rows", "N|all"},
    {"--output", "FILE"},   {"--host", "HOST[:PORT]"},
    {"--draw", "N"},        {"sources", "SOURCE"},
    {"number", "N"},        {"--game", "n3|n4"},
    {"--last", "N"},        {"--since", "N"},
    {"--view", "NAME"},     {"fields", "N3 S3 B3 SS3 SB3 M3 N4 S4 B4 SS4 SB4"},
    {"game", "GAME"},       {"ticket_number", "NUMBER"},
    {"kind", "KIND"},       {"--kuchi", "N"},
    {"--draws", "K"},       {"--note", "TEXT"},
    {"--month", "YYYY-MM"}, {"--by", "month|year"},
    {"id", "ID"},           {"file", "FILE"}};

constexpr const char* kRequiredMark = " (必須)";

// The option ("--draw") or argument ("fields") a CLI11 message is about.
std::string subjectOf(const std::string& message)
{
    std::smatch match;
    if (std::regex_search(message, match, std::regex("^(-{1,2}[A-Za-z0-9-]+|[a-z]+)(?::| is required)")) ||
        std::regex_search(message, match, std::regex("arguments to ([A-Za-z0-9-]+),")) ||
        std::regex_search(message, match, std::regex("(-{1,2}[A-Za-z0-9-]+)")))
        return match[1];
    return {};
}

// The option or argument `subject` of the command that was being read, or null.
const CLI::Option* optionOf(const CLI::App* app, const std::string& subject)
{
    for (const CLI::App* command : app->get_subcommands({}))
        if (command->parsed())
            if (const CLI::Option* option = optionOf(command, subject))
                return option;
    for (const CLI::Option* option : app->get_options())
        if (!subject.empty() && option->check_name(subject))
            return option;
    return nullptr;
}

// How the message names `subject`: an argument by its placeholder, as the help shows it.
std::string nameOf(const std::string& subject)
{
    const auto placeholder = kPlaceholders.find(subject);
    return subject.starts_with("-") || placeholder == kPlaceholders.end() ? subject : placeholder->second;
}

// What the option or argument `subject` takes, from its own help text: " (…)", or nothing.
std::string whatItTakes(const CLI::App* app, const std::string& subject)
{
    const CLI::Option* option = optionOf(app, subject);
    return option ? " (" + option->get_description() + ")" : std::string();
}

// CLI11's messages for the mistakes a person makes at the prompt, in Japanese.
std::string usageMessage(const CLI::App* app, const CLI::Error& error)
{
    const std::string what = error.what();
    const std::string subject = subjectOf(what);
    const std::string name = nameOf(subject);
    std::string message;
    if (dynamic_cast<const CLI::RequiredError*>(&error) && what.find("subcommand") != std::string::npos) {
        // A word that is no command is left over for the command that was never found.
        const std::vector<std::string> rest = app->remaining();
        message = rest.empty() ? "コマンドを指定してください。コマンド:"
                               : "「" + rest.front() + "」というコマンドはありません。コマンド:";
        for (const CLI::App* command : app->get_subcommands({}))
            message += " " + command->get_name();
    } else if (dynamic_cast<const CLI::RequiredError*>(&error)) {
        message = name + " の指定が必要です" + whatItTakes(app, subject) + "。";
    } else if (dynamic_cast<const CLI::ExtrasError*>(&error)) {
        const std::size_t colon = what.find(": ");
        const std::string extras = colon == std::string::npos ? std::string() : what.substr(colon + 2);
        message = (extras.starts_with("-") ? "知らないオプションです: " : "余分な引数です: ") + extras;
    } else if (std::smatch both; dynamic_cast<const CLI::ExcludesError*>(&error) &&
                                 std::regex_search(what, both, std::regex("^(\\S+) excludes (\\S+)"))) {
        message = nameOf(both[1]) + " と " + nameOf(both[2]) + " は一緒には指定できません。";
    } else if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
        // An option given without its value, or an argument given too few or too many times.
        message = name + (subject.starts_with("-") ? " の値を指定してください" : " の数が合いません") +
                  whatItTakes(app, subject) + "。";
    } else if (dynamic_cast<const CLI::ConversionError*>(&error) || dynamic_cast<const CLI::ValidationError*>(&error)) {
        std::smatch value;
        const bool named = std::regex_search(what, value, std::regex("(?:Value|Check|value) (\\S+)"));
        message = name + " の値" + (named ? "「" + value[1].str() + "」" : std::string()) + "は使えません" +
                  whatItTakes(app, subject) + "。";
    } else {
        message = what;
    }
    // The help of the command that was being read, by the name the user types.
    std::string help = std::filesystem::path(app->get_name()).filename().string();
    for (const CLI::App* command : app->get_subcommands({}))
        if (command->parsed())
            help += " " + command->get_name();
    return message + "\n使い方は " + help + " --help で表示します。\n";
}

// CLI11's help with its columns lined up by what a terminal shows rather than by bytes: the
// placeholders and descriptions are Japanese.
class JapaneseFormatter : public CLI::Formatter {
public:
    // An argument shows as its placeholder, never by the name the code gives it.
    std::string make_option(const CLI::Option* option, bool positional) const override
    {
        return row(positional ? option->get_option_text() : make_option_name(option, false) + make_option_opts(option),
                   make_option_desc(option));
    }
    std::string make_option_usage(const CLI::Option* option) const override
    {
        std::string text = option->get_option_text();
        if (const std::size_t mark = text.find(kRequiredMark); mark != std::string::npos)
            text.erase(mark);
        return option->get_required() ? text : "[" + text + "]";
    }
    std::string make_subcommand(const CLI::App* command) const override
    {
        return row(command->get_display_name(true), command->get_description());
    }

private:
    std::string row(const std::string& name, const std::string& description) const
    {
        const std::size_t width = get_column_width();
        std::string out = "  " + name;
        if (!description.empty()) {
            out = displayWidth(out) >= width ? out + "\n" + std::string(width, ' ') : padToWidth(out, width);
            for (const char c : description) {
                out += c;
                if (c == '\n')
                    out += std::string(width, ' ');
            }
        }
        return out + "\n";
    }
};

}  // namespace

void speakJapanese(CLI::App& app)
{
    const auto formatter = std::make_shared<JapaneseFormatter>();
    for (const auto& [label, text] : {std::pair {"Usage", "使い方"},
                                      {"OPTIONS", "オプション"},
                                      {"SUBCOMMAND", "コマンド"},
                                      {"REQUIRED", kRequiredMark + 1},
                                      {"Positionals", "引数"}})
        formatter->label(label, text);
    const auto translate = [&formatter](CLI::App& command) {
        command.formatter(formatter);
        command.failure_message(usageMessage);
        command.set_help_flag("-h,--help", "この説明を表示して終わります");
        for (CLI::Option* option : command.get_options()) {
            option->group("オプション");
            if (option->get_expected_max() == 0 || !option->get_option_text().empty())
                continue;
            const auto placeholder = kPlaceholders.find(option->get_name());
            std::string text = placeholder == kPlaceholders.end() ? "値" : placeholder->second;
            if (option->get_expected_max() > 1 && option->get_expected_min() == 1)
                text += " ...";
            option->option_text(option->get_required() ? text + kRequiredMark : text);
        }
    };
    // Every command, and the commands of a command (tolvi tickets add), as deep as they go.
    const std::function<void(CLI::App&)> translateCommands = [&](CLI::App& parent) {
        for (CLI::App* command : parent.get_subcommands({})) {
            translate(*command);
            command->group("コマンド");
            translateCommands(*command);
        }
    };
    translate(app);
    translateCommands(app);
}

}  // namespace tolvi::cli
