// What must hold for any bytes given to an import as a results file, whatever the history holds:
// reading the file fails only with a message for the user; an import either appends whole
// records that continue the history without a gap or leaves the file exactly as it was; a dry
// run says what the import then does; importing again adds nothing; and what an export writes
// imports back to the same records.

#include "fuzz/FuzzChecks.h"

#include "history/DrawRecord.h"
#include "history/HistoryFile.h"
#include "results/HistoryExport.h"
#include "results/HistoryImport.h"

namespace tolvi::fuzz {

// The first byte of an input chooses the history the rest is imported into.
std::optional<std::string> importHistory(unsigned char choice)
{
    const std::string draw1 =
        "0001,191,0119800,0039900,0079800,0019900,0011900,1149,0942600,0078500,0510500,0039200\r\n";
    const std::string draw2 =
        "0002,988,0333500,0111100,0222300,0055500,0033300,7921,0923700,0038400,0481000,0019200\r\n";
    switch (choice % 4) {
    case 0: return std::nullopt;  // no file
    case 1: return std::string();
    case 2: return ";" + std::string(84, ' ') + "\r\n" + kEndOfFileByte;  // only a comment
    default: return draw1 + draw2 + kEndOfFileByte;
    }
}

bool sameSummary(const ImportSummary& a, const ImportSummary& b)
{
    return a.lastBefore == b.lastBefore && a.firstAdded == b.firstAdded && a.lastAdded == b.lastAdded &&
           a.added == b.added && a.withoutNumbers4 == b.withoutNumbers4 && a.disagreeing == b.disagreeing &&
           a.firstDisagreeing == b.firstDisagreeing;
}

void checkImport(std::string_view data, const fs::path& dir)
{
    if (data.empty())
        return;
    const std::optional<std::string> history = importHistory(static_cast<unsigned char>(data[0]));
    const std::string_view csv = data.substr(1);

    std::vector<ResultsSource> sources(1);
    if (shownFailure([&] { sources[0] = parseResultsCsv(csv, "fuzz.csv"); }).failed())
        return;

    // The folder may hold what an earlier input left: start from nothing.
    const fs::path path = dir / kHistoryFileName;
    const fs::path copy = dir / "copy";
    fs::remove(path);
    fs::remove_all(copy);
    if (history)
        writeBytes(path, *history);
    ImportSummary planned, done;
    const Outcome dryRun = shownFailure([&] { planned = importResults(path, sources, true); });
    require(history.has_value() == fs::exists(path), "a dry run created or removed the history file");
    require(!history || readBytes(path) == *history, "a dry run changed the history file");
    const Outcome outcome = shownFailure([&] { done = importResults(path, sources, false); });
    require(dryRun == outcome, "the dry run ended otherwise than the import: " + outcome.errorText.value_or("(none)"));

    if (outcome.failed()) {
        require(history.has_value() == fs::exists(path), "a refused import created or removed the history file");
        require(!history || readBytes(path) == *history, "a refused import changed the history file");
        return;
    }
    require(sameSummary(planned, done), "the dry run said something else than the import did");
    const std::string after = fs::exists(path) ? readBytes(path) : std::string();
    const std::string before = history ? history->substr(0, history->size() / kRecordSize * kRecordSize) : "";
    if (done.added == 0) {
        require(after == history.value_or(""), "an import with nothing to add changed the history file");
        return;
    }
    require(after.size() == before.size() + done.added * kRecordSize + 1 && after.back() == kEndOfFileByte &&
                after.compare(0, before.size(), before) == 0,
            "the import did not append exactly its records after the old ones and one 0x1A byte");
    for (std::size_t k = 0; k < done.added; ++k) {
        const std::string_view record = std::string_view(after).substr(before.size() + k * kRecordSize, kRecordSize);
        require(record.substr(85) == "\r\n" && DrawRecord(record).drawNumber() == done.firstAdded + std::int32_t(k),
                "an appended record is not the next draw in order");
    }

    const Outcome again = shownFailure([&] { planned = importResults(path, sources, false); });
    require(!again.failed() && planned.added == 0 && readBytes(path) == after,
            "importing the same file again added something");

    fs::create_directories(copy);
    const std::string exported = exportHistoryCsv(after);
    const Outcome reimport =
        shownFailure([&] { importResults(copy / kHistoryFileName, {parseResultsCsv(exported, "export.csv")}, false); });
    require(!reimport.failed(), "an export could not be imported: " + reimport.errorText.value_or(""));
    require(readBytes(copy / kHistoryFileName) ==
                after.substr(history && !history->empty() && (*history)[0] == ';' ? 87 : 0),
            "an export imported into an empty folder did not give the same draw records");
}

}  // namespace tolvi::fuzz
