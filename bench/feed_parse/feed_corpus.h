// A generated corpus of realistic feeds for the parse benchmark: RSS 0.91, 1.0 and 2.0 and Atom,
// Japanese titles and HTML descriptions with entities, in UTF-8, Shift_JIS and EUC-JP.
// Deterministic for a given seed.
#ifndef KORVO_BENCH_FEED_PARSE_FEED_CORPUS_H_
#define KORVO_BENCH_FEED_PARSE_FEED_CORPUS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace korvo::bench {

struct CorpusDocument {
  std::string kind;   // "rss2/utf-8", "atom/utf-8", "rss1/euc-jp", ...
  std::string bytes;  // the document as a server would send it
  int items = 0;      // items or entries written
};

// Documents until their total size reaches at least `min_total_bytes`.
std::vector<CorpusDocument> GenerateFeedCorpus(size_t min_total_bytes, uint32_t seed);

// Shift_JIS (CP932 without its extension rows) to EUC-JP; ASCII passes through.
std::string ShiftJisToEucJp(const std::string& sjis);

}  // namespace korvo::bench

#endif  // KORVO_BENCH_FEED_PARSE_FEED_CORPUS_H_
