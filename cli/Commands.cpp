#include "cli/Commands.h"

#include "base/Errors.h"

#include <cerrno>
#include <exception>
#include <iostream>
#include <regex>

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
    command.add_option("--dir", dir, "Numbers.dat のあるフォルダー (既定: カレントフォルダー)");
}

namespace {

// The option ("--draw") or argument ("fields") a CLI11 message is about.
std::string subjectOf(const std::string& message)
{
    std::smatch match;
    if (std::regex_search(message, match, std::regex("^(-{1,2}[A-Za-z0-9-]+|[a-z]+):")) ||
        std::regex_search(message, match, std::regex("(-{1,2}[A-Za-z0-9-]+)")))
        return match[1];
    return {};
}

// What the option or argument `subject` takes, from its own help text: " (…)", or nothing.
// The message comes from the application whichever command held the option.
std::string whatItTakes(const CLI::App* app, const std::string& subject)
{
    for (const CLI::Option* option : app->get_options())
        if (!subject.empty() && option->check_name(subject))
            return " (" + option->get_description() + ")";
    for (const CLI::App* command : app->get_subcommands({}))
        if (command->parsed())
            return whatItTakes(command, subject);
    return {};
}

// CLI11's messages for the mistakes a person makes at the prompt, in Japanese.
std::string usageMessage(const CLI::App* app, const CLI::Error& error)
{
    const std::string what = error.what();
    const std::string subject = subjectOf(what);
    std::string message;
    if (dynamic_cast<const CLI::RequiredError*>(&error) && what.find("subcommand") != std::string::npos) {
        message = "コマンドを指定してください:";
        for (const CLI::App* command : app->get_subcommands({}))
            message += " " + command->get_name();
    } else if (dynamic_cast<const CLI::RequiredError*>(&error)) {
        message = subject + " の指定が必要です" + whatItTakes(app, subject) + "。";
    } else if (dynamic_cast<const CLI::ExtrasError*>(&error)) {
        const std::size_t colon = what.find(": ");
        message = "知らないオプションか、余分な引数です:" +
                  (colon == std::string::npos ? std::string() : " " + what.substr(colon + 2));
    } else if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
        message = subject + " の数が合いません" + whatItTakes(app, subject) + "。";
    } else if (dynamic_cast<const CLI::ConversionError*>(&error) || dynamic_cast<const CLI::ValidationError*>(&error)) {
        std::smatch value;
        const bool named = std::regex_search(what, value, std::regex("(?:Value|Check) (\\S+)"));
        message = subject + " の値" + (named ? "「" + value[1].str() + "」" : std::string()) + "は使えません" +
                  whatItTakes(app, subject) + "。";
    } else {
        message = what;
    }
    return message + "\n使い方は " + app->get_name() + " --help で表示します。\n";
}

}  // namespace

void speakJapanese(CLI::App& app)
{
    const auto formatter = app.get_formatter();
    // Placeholders such as TEXT stay: the help's columns are lined up by bytes.
    for (const auto& [label, text] : {std::pair {"Usage", "使い方"}, {"OPTIONS", "オプション"}, {"SUBCOMMAND", "コマンド"},
                                      {"REQUIRED", "(必須)"}, {"Positionals", "引数"}})
        formatter->label(label, text);
    app.failure_message(usageMessage);
    const auto translate = [](CLI::App& command) {
        command.set_help_flag("-h,--help", "この説明を表示して終わります");
        for (CLI::Option* option : command.get_options())
            option->group("オプション");
    };
    translate(app);
    for (CLI::App* command : app.get_subcommands({})) {
        translate(*command);
        command->group("コマンド");
        command->failure_message(usageMessage);
    }
}

}  // namespace tolvi::cli
