// The comparison side of the benchmark: the same feed bytes read with libxml2's recovering
// parsers, taking the same fields the program's extraction takes.
#ifndef KORVO_BENCH_FEED_PARSE_LIBXML2_SIDE_H_
#define KORVO_BENCH_FEED_PARSE_LIBXML2_SIDE_H_

#include <cstddef>
#include <string>

namespace korvo::bench {

struct Libxml2Result {
  size_t items = 0;
  size_t text_bytes = 0;  // bytes of title, link and description text taken (keeps work alive)
};

// Reads one feed with xmlReadMemory (RECOVER | NOERROR | NOWARNING), walks its RSS items or Atom
// entries, takes title, link, date and description, and, when `render_html` is set, reads every
// description that holds markup with htmlReadMemory and takes its text, as the program's
// description cleaning does.
Libxml2Result ParseWithLibxml2(const std::string& bytes, bool render_html);

}  // namespace korvo::bench

#endif  // KORVO_BENCH_FEED_PARSE_LIBXML2_SIDE_H_
