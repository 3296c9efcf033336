// The `tolvi append` and `tolvi check` commands, run as the built program.

#include "entry/ResultEntry.h"

#include "support/HistoryBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

using tolvi::test::HistoryBuilder;
using tolvi::test::TempDir;
namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the tool with `args`, its output caught in files of `scratch`.
Outcome runTool(const TempDir& scratch, const std::vector<std::string>& args)
{
    const std::string outPath = scratch.file("stdout.txt").string();
    const std::string errPath = scratch.file("stderr.txt").string();
    std::vector<char*> argv;
    std::string program = TOLVI_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies(args);
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0)
            ::_exit(126);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    Outcome outcome;
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        outcome.status = WEXITSTATUS(status);
    outcome.out = tolvi::test::readFileBytes(outPath);
    outcome.err = tolvi::test::readFileBytes(errPath);
    return outcome;
}

std::vector<std::string> appendArgs(const TempDir& dir, std::vector<std::string> fields)
{
    std::vector<std::string> args {"append", "--dir", dir.path().string()};
    args.insert(args.end(), fields.begin(), fields.end());
    return args;
}

const std::vector<std::string> kValid {"012",  "90000",   "15000", "52500",  "7500", "4000",
                                       "0345", "1000000", "41600", "520800", "20800"};

std::size_t lineCount(const std::string& text)
{
    return std::size_t(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

// ---- append -------------------------------------------------------------------------------

TEST(CliAppend, StoresTheRecordAndPrintsIt)
{
    TempDir dir, scratch;
    const std::string before = HistoryBuilder().draw(40, "111").draw(41, "222").endOfFile().bytes();
    dir.write("Numbers.dat", before);

    const Outcome outcome = runTool(scratch, appendArgs(dir, kValid));

    const std::string record = "0042,012,0090000,0015000,0052500,0007500,0004000,0345,1000000,0041600,0520800,0020800";
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, record + "\n");
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(dir.read("Numbers.dat"), before.substr(0, before.size() - 1) + record + "\r\n\x1A");
}

TEST(CliAppend, RefusesAsTheEntryPanelDoesWithItsMessagesAndLeavesTheFile)
{
    TempDir dir, scratch;
    const std::string before = HistoryBuilder().draw(41, "222").bytes();
    dir.write("Numbers.dat", before);
    struct Case {
        std::size_t field;
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {0, "12", tolvi::kNumbers3Message},  {0, "ａｂｃ", tolvi::kNumbers3Message},
        {0, "-12", tolvi::kNumbers3Message}, {6, "123", tolvi::kNumbers4Message},
        {1, "", tolvi::kPrizeMessage},       {2, "1,000", tolvi::kPrizeMessage},
        {10, "1.5", tolvi::kPrizeMessage},   {5, "12345678", tolvi::kPrizeMessage},
        {7, "-5", tolvi::kPrizeMessage},
    };
    for (const Case& c : cases) {
        std::vector<std::string> fields = kValid;
        fields[c.field] = c.text;
        const Outcome outcome = runTool(scratch, appendArgs(dir, fields));
        EXPECT_EQ(outcome.status, 1) << c.text;
        EXPECT_EQ(outcome.err, std::string(c.message) + "\n") << c.text;
        EXPECT_EQ(outcome.out, "") << c.text;
        EXPECT_EQ(dir.read("Numbers.dat"), before) << c.text;
    }
}

TEST(CliAppend, FileErrorsEndWithStatusOneAndAMessage)
{
    TempDir dir, scratch;
    Outcome missing = runTool(scratch, appendArgs(dir, kValid));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err, "");
    EXPECT_FALSE(std::filesystem::exists(dir.file("Numbers.dat")));

    const std::string damaged = HistoryBuilder().draw(41, "222").raw("junk").bytes();
    dir.write("Numbers.dat", damaged);
    const Outcome refused = runTool(scratch, appendArgs(dir, kValid));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("壊れています"), std::string::npos) << refused.err;
    EXPECT_EQ(dir.read("Numbers.dat"), damaged);

    const std::string comment = HistoryBuilder().draw(41, "222").comment().bytes();
    dir.write("Numbers.dat", comment);
    EXPECT_EQ(runTool(scratch, appendArgs(dir, kValid)).status, 1);
    EXPECT_EQ(dir.read("Numbers.dat"), comment);
}

TEST(CliAppend, WrongNumberOfFieldsIsAUsageError)
{
    TempDir dir, scratch;
    const std::string before = HistoryBuilder().draw(41, "222").bytes();
    dir.write("Numbers.dat", before);
    std::vector<std::string> tooFew(kValid.begin(), kValid.end() - 1);
    std::vector<std::string> tooMany = kValid;
    tooMany.push_back("1");
    EXPECT_EQ(runTool(scratch, appendArgs(dir, tooFew)).status, 2);
    EXPECT_EQ(runTool(scratch, appendArgs(dir, tooMany)).status, 2);
    EXPECT_EQ(dir.read("Numbers.dat"), before);
}

// ---- check --------------------------------------------------------------------------------

TEST(CliCheck, CleanFileEndsWithStatusZero)
{
    TempDir dir, scratch;
    dir.write("Numbers.dat", HistoryBuilder().comment().draw(1, "123").draw(2, "---").endOfFile().bytes());
    const Outcome outcome = runTool(scratch, {"check", "--dir", dir.path().string()});
    EXPECT_EQ(outcome.status, 0) << outcome.out;
    EXPECT_EQ(lineCount(outcome.out), 1u) << outcome.out;
}

TEST(CliCheck, EachProblemIsOneLineWithRecordAndOffset)
{
    TempDir dir, scratch;
    std::string second = tolvi::test::drawRecord({2, "1x3"});
    dir.write("Numbers.dat", HistoryBuilder().draw(1, "123").raw(second).draw(4, "456").raw("zz").bytes());

    const Outcome outcome = runTool(scratch, {"check", "--dir", dir.path().string()});

    EXPECT_EQ(outcome.status, 1);
    // The cause of the cut-off tail; winning number of record 2, draw 4 after 2, the cut-off tail;
    // then the summary line.
    EXPECT_EQ(lineCount(outcome.out), 5u) << outcome.out;
    EXPECT_NE(outcome.out.find("レコード 2 (オフセット 87)"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("レコード 3 (オフセット 174)"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("レコード 4 (オフセット 261)"), std::string::npos) << outcome.out;
}

TEST(CliCheck, TheListStopsAfterTwentyProblemsUnlessAllAreAskedFor)
{
    TempDir dir, scratch;
    HistoryBuilder broken;
    for (int draw = 1; draw <= 25; ++draw)
        broken.raw(tolvi::test::drawRecord({draw, "1x3"}));
    dir.write("Numbers.dat", broken.bytes());

    const Outcome some = runTool(scratch, {"check", "--dir", dir.path().string()});
    const Outcome all = runTool(scratch, {"check", "--all", "--dir", dir.path().string()});
    EXPECT_EQ(some.status, 1);
    EXPECT_EQ(all.status, 1);
    EXPECT_EQ(lineCount(some.out), 20u + 2u) << some.out;  // 20 problems, "ほか 5 件", the summary
    EXPECT_NE(some.out.find("ほか 5 件"), std::string::npos) << some.out;
    EXPECT_EQ(lineCount(all.out), 25u + 1u) << all.out;
}

TEST(CliCheck, MissingFileAndUsageErrors)
{
    TempDir dir, scratch;
    const Outcome missing = runTool(scratch, {"check", "--dir", dir.path().string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err, "");
    EXPECT_EQ(runTool(scratch, {"check", "--dir"}).status, 2);
    EXPECT_EQ(runTool(scratch, {"check", "--bogus"}).status, 2);
    EXPECT_EQ(runTool(scratch, {"check", "extra"}).status, 2);
}

TEST(CliRestore, ListsTheCopiesTheAppendsKeptAndPutsOneBack)
{
    TempDir dir, scratch;
    const std::string before = HistoryBuilder().draw(41, "222").bytes();
    dir.write("Numbers.dat", before);
    runTool(scratch, appendArgs(dir, kValid));
    runTool(scratch, appendArgs(dir, kValid));
    const Outcome list = runTool(scratch, {"restore", "--list", "--dir", dir.path().string()});
    EXPECT_NE(list.out.find("\n 2  "), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("第41回まで"), std::string::npos) << list.out;
    const Outcome restore = runTool(scratch, {"restore", "2", "--dir", dir.path().string()});
    EXPECT_EQ(restore.status, 0) << restore.err;
    EXPECT_EQ(dir.read("Numbers.dat"), before);
}

// ---- usage ---------------------------------------------------------------------------------

TEST(CliUsage, MistakesAtThePromptAreExplainedInJapanese)
{
    TempDir scratch;
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{}, "コマンドを指定してください。コマンド: run"},
        {{"runn"}, "「runn」というコマンドはありません。コマンド: run"},
        {{"run", "--bogus"}, "知らないオプションです: --bogus"},
        {{"check", "extra"}, "余分な引数です: extra"},
        {{"run", "--edition", "numbers5"}, "--edition の値「numbers5」は使えません (numbers3 または mini)。"},
        {{"run", "--rows", "-3"}, "--rows の値「-3」は使えません"},
        {{"fetch"}, "--draw の指定が必要です (抽せん回 (1-9999))。"},
        {{"export", "--output"}, "--output の値を指定してください (書き出す CSV ファイル"},
        {{"import"}, "SOURCE の指定が必要です (取り込み元:"},
        {{"append", "1"}, "N3 S3 B3 SS3 SB3 M3 N4 S4 B4 SS4 SB4 の数が合いません"},
        {{"restore", "--list", "2"}, "--list と N は一緒には指定できません。"},
    };
    for (const auto& [args, message] : cases) {
        const Outcome outcome = runTool(scratch, args);
        EXPECT_EQ(outcome.status, 2) << message;
        EXPECT_NE(outcome.err.find(message), std::string::npos) << outcome.err;
    }
}

TEST(CliUsage, HelpShowsNoTypeOrControlNamesAndVersionAnswers)
{
    TempDir scratch;
    for (const char* command : {"run", "append", "check", "fetch", "import", "export", "stats", "restore"}) {
        const Outcome help = runTool(scratch, {command, "--help"});
        for (const char* word : {"TEXT", "INT", "UINT", "Tag ", "Edit", "fields", "sources"})
            EXPECT_EQ(help.out.find(word), std::string::npos) << command << ": " << word << "\n" << help.out;
    }
    const Outcome version = runTool(scratch, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tolvi " TOLVI_VERSION "\n", 0), 0u) << version.out;
}

// ---- the history's folder without --dir ---------------------------------------------------

TEST(CliDefaultFolder, WorkingFolderWhenItHoldsAHistoryElseTheDataFolderAndSaysWhichOnce)
{
    TempDir work, home, data;
    const std::string history = HistoryBuilder().draw(1, "111").bytes();
    struct Case {
        bool workHasHistory;
        std::string environment;
        std::string announced;
    };
    const Case cases[] = {
        {true, "XDG_DATA_HOME=" + data.path().string(), work.file("Numbers.dat").string() + " (カレントフォルダー)"},
        {false, "XDG_DATA_HOME=" + data.path().string(),
         (data.path() / "tolvi-numbers/Numbers.dat").string() + " (データフォルダー)"},
        // A relative XDG_DATA_HOME does not count.
        {false, "XDG_DATA_HOME=relative",
         (home.path() / ".local/share/tolvi-numbers/Numbers.dat").string() + " (データフォルダー)"},
    };
    for (const Case& c : cases) {
        if (c.workHasHistory)
            work.write("Numbers.dat", history);
        else
            fs::remove(work.file("Numbers.dat"));
        const std::string command = "cd '" + work.path().string() + "' && env HOME='" + home.path().string() + "' " +
                                    c.environment + " " + TOLVI_CLI_PATH + " check 2>&1 >/dev/null";
        std::string err;
        FILE* pipe = ::popen(command.c_str(), "r");
        for (int ch; pipe && (ch = std::fgetc(pipe)) != EOF;)
            err += char(ch);
        if (pipe)
            ::pclose(pipe);
        EXPECT_EQ(err.rfind("履歴ファイル: " + c.announced + "\n", 0), 0u) << err;
        EXPECT_EQ(err.find("履歴ファイル: ", 1), std::string::npos) << err;  // once
    }
    work.write("Numbers.dat", history);
    EXPECT_EQ(runTool(home, {"check", "--dir", work.path().string()}).err, "");  // --dir: nothing to say
}
