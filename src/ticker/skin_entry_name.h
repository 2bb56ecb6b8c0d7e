// Names inside skin packages and of skin folders, checked before anything is written: a skin is
// only ever installed into skin\<name>\, whatever an archive or a dropped folder says.
//
// Names are CP932. A '\' (0x5C) that is the second byte of a two-byte character is part of that
// character, not a separator. Pure functions; safe on any thread.
#ifndef KORVO_TICKER_SKIN_ENTRY_NAME_H_
#define KORVO_TICKER_SKIN_ENTRY_NAME_H_

#include <string>
#include <string_view>
#include <vector>

namespace korvo {

// Splits `path` at '\' and '/' into its parts (empty parts kept, so "a\\b" gives "a", "", "b");
// `*trailing` tells whether it ended in a separator (then the last part is not added). False when
// the text ends inside a two-byte character or holds a NUL.
bool SplitCp932Path(std::string_view path, std::vector<std::string>* parts, bool* trailing);

// Whether `name` can be one file or folder name on every platform without meaning anything else:
// not empty, at most 255 bytes, not "." or "..", no control characters and none of
// < > : " / \ | ? *, not ending in a blank or a dot (Windows drops those), and not a device
// name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, CONIN$, CONOUT$, also with an extension).
bool IsSafeFileName(std::string_view name);

// Whether `name` can name a skin folder: a safe file name other than the reserved "noskin260"
// (compared without regard to case).
bool IsSafeSkinName(std::string_view name);

// Whether a file name is a program the system would run or load: .exe, .dll, .ocx, .scr, .com,
// .bat, .cmd, .cpl, .sys (without regard to case).
bool IsProgramFileName(std::string_view name);

}  // namespace korvo

#endif  // KORVO_TICKER_SKIN_ENTRY_NAME_H_
