#pragma once
// Filling the entry panel from the publisher's per-draw file: what "インターネットから参照" does in a
// build that names no server of monthly results pages.

#include "entry/EntryFields.h"
#include "entry/ResultRetrieval.h"
#include "results/ResultsUpdate.h"

#include <cstdint>

namespace tolvi {

struct PublishedEntry {
    RetrievalResult result;  // filled, or the message to show (the same ones as the monthly pages)
    EntryFields fields;      // the eleven texts when filled
};

// The draw `draw` from `settings.publisherUrl`, never asked for before the calendar says it was
// held. Not published (HTTP 404, or not held yet): kNotFoundMessage; the server out of reach or
// refusing: kNoConnectionMessage; a file that cannot be read or is another draw's: an error naming
// what is wrong.
PublishedEntry fetchPublishedEntry(std::int32_t draw, const UpdateSettings& settings);

}  // namespace tolvi
