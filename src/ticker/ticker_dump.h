// "dump.dat": the record numbers of the list the ticker showed at exit, so the next start shows
// the same items at once.
//
// Format: a sequence of 4-byte little-endian unsigned record numbers, in display order, nothing
// else (no header, no count). A file whose size is no multiple of 4 has its last partial number
// ignored.
#ifndef KORVO_TICKER_TICKER_DUMP_H_
#define KORVO_TICKER_TICKER_DUMP_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvo {

inline constexpr char kTickerDumpName[] = "dump.dat";
// Most numbers read from one file: as many as the store has records at most. A larger file is
// read up to this many numbers.
constexpr size_t kMaxTickerDumpNumbers = 262140;

// The numbers of `bytes` as above, at most `kMaxTickerDumpNumbers`.
std::vector<uint32_t> DecodeTickerDump(std::string_view bytes);
std::string EncodeTickerDump(const std::vector<uint32_t>& numbers);

// Reads the file at `path` (UTF-8). False when there is no file to read (missing, a folder, or
// unreadable); an empty file is read as an empty list.
bool ReadTickerDump(const std::string& path, std::vector<uint32_t>* numbers);
// Replaces the file at `path` with `numbers` through a temporary file in the same folder, so a
// crash never leaves half a list. False, with the old file untouched, on failure.
bool WriteTickerDump(const std::string& path, const std::vector<uint32_t>& numbers);

}  // namespace korvo

#endif  // KORVO_TICKER_TICKER_DUMP_H_
