#pragma once
// Replacing a small file so that a reader, a crash or a power cut sees the old content or the new,
// never a mixture: the new bytes go to a new file beside it, which is flushed to the disk and then
// renamed over the old one, and the folder's entry is flushed too.

#include <filesystem>
#include <string_view>

namespace tolvi {

// IoError naming `path` when the file cannot be written; the old file is then untouched and no
// temporary file is left behind.
void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace tolvi
