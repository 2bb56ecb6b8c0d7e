// Builds zip archives in memory for the tests, with any entry names (hostile ones included),
// stored or deflated, and optionally a wrong checksum or a lying size.
#ifndef KORVO_TESTS_TICKER_ZIP_WRITER_H_
#define KORVO_TESTS_TICKER_ZIP_WRITER_H_

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace korvo::testing {

class ZipWriter {
 public:
  struct Options {
    bool deflate = false;
    bool utf8_name = false;      // general purpose flag bit 11
    bool bad_crc = false;        // store a checksum that does not match
    int64_t declared_size = -1;  // the uncompressed size to declare (-1: the real one)
  };

  void Add(const std::string& name, const std::string& data) { Add(name, data, Options()); }
  void Add(const std::string& name, const std::string& data, const Options& o) {
    std::string body = data;
    uint16_t method = 0;
    if (o.deflate) {
      method = 8;
      body = Deflate(data);
    }
    uint32_t crc = static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    if (o.bad_crc) crc ^= 0xFFFFFFFF;
    const uint32_t size = o.declared_size >= 0 ? static_cast<uint32_t>(o.declared_size)
                                               : static_cast<uint32_t>(data.size());
    const uint16_t flags = o.utf8_name ? 0x800 : 0;
    const uint32_t offset = static_cast<uint32_t>(out_.size());
    Le32(&out_, 0x04034b50);
    Le16(&out_, 20);
    Le16(&out_, flags);
    Le16(&out_, method);
    Le32(&out_, 0);  // time and date
    Le32(&out_, crc);
    Le32(&out_, static_cast<uint32_t>(body.size()));
    Le32(&out_, size);
    Le16(&out_, static_cast<uint16_t>(name.size()));
    Le16(&out_, 0);
    out_ += name;
    out_ += body;
    Le32(&central_, 0x02014b50);
    Le16(&central_, 20);
    Le16(&central_, 20);
    Le16(&central_, flags);
    Le16(&central_, method);
    Le32(&central_, 0);
    Le32(&central_, crc);
    Le32(&central_, static_cast<uint32_t>(body.size()));
    Le32(&central_, size);
    Le16(&central_, static_cast<uint16_t>(name.size()));
    Le16(&central_, 0);
    Le16(&central_, 0);
    Le16(&central_, 0);
    Le16(&central_, 0);
    Le32(&central_, 0);
    Le32(&central_, offset);
    central_ += name;
    ++count_;
  }

  std::string Finish() const {
    std::string zip = out_;
    const uint32_t start = static_cast<uint32_t>(zip.size());
    zip += central_;
    Le32(&zip, 0x06054b50);
    Le16(&zip, 0);
    Le16(&zip, 0);
    Le16(&zip, static_cast<uint16_t>(count_));
    Le16(&zip, static_cast<uint16_t>(count_));
    Le32(&zip, static_cast<uint32_t>(central_.size()));
    Le32(&zip, start);
    Le16(&zip, 0);
    return zip;
  }

 private:
  static void Le16(std::string* s, uint16_t v) {
    *s += static_cast<char>(v & 0xFF);
    *s += static_cast<char>(v >> 8);
  }
  static void Le32(std::string* s, uint32_t v) {
    Le16(s, static_cast<uint16_t>(v & 0xFFFF));
    Le16(s, static_cast<uint16_t>(v >> 16));
  }
  static std::string Deflate(const std::string& data) {
    z_stream z = {};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, static_cast<uLong>(data.size())) + 16, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
  }

  std::string out_;
  std::string central_;
  int count_ = 0;
};

}  // namespace korvo::testing

#endif  // KORVO_TESTS_TICKER_ZIP_WRITER_H_
