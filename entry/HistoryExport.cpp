#include "entry/HistoryExport.h"

#include "base/NumberFormat.h"
#include "history/DrawRecord.h"
#include "history/HistoryReader.h"
#include "base/StrToInt.h"

namespace tolvi {

std::string exportHistoryCsv(std::string_view content)
{
    std::string csv(kExportHeader);
    csv += '\n';
    for (std::size_t i = 0; i < HistoryReader::recordCount(content); ++i) {
        const DrawRecord record = HistoryReader::recordAt(content, i);
        if (record.isComment())
            continue;
        csv += formatInt(record.drawNumber(), 0) + ",";
        if (record.hasResult())
            csv += formatInt(strToInt(record.winningNumber()), 0, 3);
        for (const int column : kNumbers3PrizeColumns)
            csv += "," + formatInt(record.prize(column), 0);
        csv += "," + formatInt(strToInt(record.column(kNumbers4Column, 4)), 0, 4);
        for (const int column : kNumbers4PrizeColumns)
            csv += "," + formatInt(record.prize(column), 0);
        csv += '\n';
    }
    return csv;
}

}  // namespace tolvi
