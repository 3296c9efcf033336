#include "entry/PublishedEntry.h"

#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "history/HistoryAppender.h"
#include "results/PublisherFiles.h"
#include "transport/SourceDownload.h"

namespace tolvi {

namespace {

PublishedEntry message(MessageKind kind, std::string text)
{
    PublishedEntry entry;
    entry.result.kind = kind;
    entry.result.message = std::move(text);
    return entry;
}

}  // namespace

PublishedEntry fetchPublishedEntry(std::int32_t draw, const UpdateSettings& settings)
{
    if (draw > lastDrawHeld(settings.now))
        return message(MessageKind::Information, kNotFoundMessage);
    const std::string file = publisherDrawFileName(draw);
    std::string bytes;
    try {
        bytes = downloadPublisherFile(settings, file);
    } catch (const HttpStatusError& e) {
        if (e.status == 404)
            return message(MessageKind::Information, kNotFoundMessage);
        return message(MessageKind::Plain, kNoConnectionMessage);
    } catch (const IoError&) {
        return message(MessageKind::Plain, kNoConnectionMessage);
    }
    try {
        const PublishedDraw published = parsePublisherDrawFile(bytes, file);
        if (published.draw != draw || published.date != drawDate(draw))
            throw RefusedError("公開元の " + file + " は第" + std::to_string(draw) + "回 (" +
                               japaneseDate(drawDate(draw)) + ") の結果ではありません。");
        PublishedEntry entry;
        entry.fields[0] =
            published.numbers3.number == kNoNumbers3Result ? "---" : formatInt(published.numbers3.number, 3, 3);
        for (std::size_t i = 0; i < 5; ++i)
            entry.fields[1 + i] = std::to_string(published.numbers3.prizes[i]);
        entry.fields[6] = formatInt(published.numbers4.number, 4, 4);
        for (std::size_t i = 0; i < 4; ++i)
            entry.fields[7 + i] = std::to_string(published.numbers4.prizes[i]);
        entry.result.filled = true;
        return entry;
    } catch (const RefusedError& e) {
        return message(MessageKind::Plain, std::string("エラー：") + e.what());
    }
}

}  // namespace tolvi
