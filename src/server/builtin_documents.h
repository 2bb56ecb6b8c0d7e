// The documents built into the program (from res/): the index page and the style sheet that the
// local server serves when no template file names others.
//
// Thread-safe; each is converted to the internal code page once, on first use, and kept for the
// rest of the run.
#ifndef KORVO_SERVER_BUILTIN_DOCUMENTS_H_
#define KORVO_SERVER_BUILTIN_DOCUMENTS_H_

#include <string>

namespace korvo {

// The index page ("KorvoNewsReader(resource)"), CP932.
const std::string& BuiltinIndexDocument();
// The style sheet of the item page, CP932.
const std::string& BuiltinStyleSheet();

}  // namespace korvo

#endif  // KORVO_SERVER_BUILTIN_DOCUMENTS_H_
