// Feeds as careless or malicious servers serve them: twenty kinds of answer for the in-process
// test server (http_test_server.h), and well-behaved feeds to run beside them. Used by the update
// tests and the hostile-server benchmark.
//
// Pacing is fixed for a fetch time-out of 1 s (deadline 4 s): the stalling kinds send something
// every 300 ms, so only the deadline ends them, or nothing at all, so the time-out does.
#ifndef KORVO_TESTS_COMMON_HOSTILE_SERVERS_H_
#define KORVO_TESTS_COMMON_HOSTILE_SERVERS_H_

#include <string>

#include "common/http_test_server.h"

namespace korvo::testing {

enum HostileKind {
  kHeaderTrickle,      // the header one byte at a time
  kBodyTrickle,        // the body one byte at a time
  kEndlessContinue,    // "100 Continue" without end
  kSilentAfterHeader,  // the header, then nothing
  kNeverAnswers,       // the request is read, nothing is sent
  kTerabyteDeclared,   // Content-Length of a terabyte
  kEndlessBody,        // a body without length that goes on for 6 MB
  kShortBody,          // fewer bytes than declared, then the connection closes
  kNoContentLater,     // a good feed first, then "204 No Content"
  kErrorPageLater,     // a good feed first, then "500" with an error page
  kRedirectLoop,       // a redirection to itself
  kRedirectToFile,     // a redirection to file:///etc/passwd
  kBinaryGarbage,      // 256 KB of bytes that are no text at all
  kDeepNesting,        // 50,000 nested elements
  kEntityLaden,        // titles and descriptions made of references, control codes among them
  kHugeDescriptions,   // 8 new items every run, each with a 256 KB description
  kRepeatedItem,       // one item 1,000 times
  kBrokenEncoding,     // a Shift_JIS declaration over broken bytes, stray UTF-16 surrogates
  kEmptyBodyLater,     // a good feed first, then "200" with an empty body
  kSameSizeNewItem,    // every run one new item, the body's size and middle unchanged
  kHostileKindCount
};

const char* HostileKindName(int kind);

// True for the kinds that hold a fetch until its deadline or time-out.
bool HostileKindStalls(int kind);

// The answer of `kind` to the request of update run `run` (0 for the first). Bodies are built
// once and kept, so answering costs little.
HttpTestResponse HostileAnswer(int kind, int run);

// A well-behaved RSS 2.0 feed in UTF-8: channel `channel` with `items` items (Japanese titles,
// links http://good.invalid/<channel>/<item>).
std::string GoodFeed(int channel, int items);

// The title of item `item` of GoodFeed(channel, ...) in UTF-8.
std::string GoodTitle(int channel, int item);

}  // namespace korvo::testing

#endif  // KORVO_TESTS_COMMON_HOSTILE_SERVERS_H_
