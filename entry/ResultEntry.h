#pragma once
// Entering a new draw's result: the panel's title, the checks of "入力" and the append.

#include "entry/EntryFields.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tolvi {

inline constexpr const char* kNumbers3Message = "入力当選番号データ(N3)が間違っています。";
inline constexpr const char* kNumbers4Message = "入力当選番号データ(N4)が間違っています。";
inline constexpr const char* kPrizeMessage = "入力当選金額データが間違っています。";

// "第%4.0d回　結果データの入力" for `drawNumber`.
std::string entryPanelTitle(std::int32_t drawNumber);

// True when `text` holds at least one byte outside "0" to "9"; an empty text gives false.
bool checkNumEditData(std::string_view text);

// Why "入力" refuses an entry: the message, and the field at fault, which the window selects so
// that the user can type it again.
struct EntryRefusal {
    std::string message;
    EntryField field = EntryField::Num3Edit;
};

// The checks of "入力" in their order; the first that fails, or nothing.
std::optional<EntryRefusal> findRefusal(const EntryFields& fields);

// The message of findRefusal(), or nothing.
std::optional<std::string> validateEntry(const EntryFields& fields);

// Validates, then appends one record for the next draw to the history file. Returns the 85
// bytes of the stored record's text (without CR LF). A refused entry raises RefusedError with
// the message to show; file failures raise IoError or ConversionError. Nothing is lost.
std::string appendEntry(const std::filesystem::path& historyPath, const EntryFields& fields);

}  // namespace tolvi
