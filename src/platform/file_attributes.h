// File attributes the portable code needs beyond existence and size.
//
// Thread-safe; touches only the file system.
#ifndef KORVO_PLATFORM_FILE_ATTRIBUTES_H_
#define KORVO_PLATFORM_FILE_ATTRIBUTES_H_

#include <string>

namespace korvo::platform {

// True when `path` is an existing file marked read-only: Windows FILE_ATTRIBUTE_READONLY; POSIX a
// mode without any write permission bit. The mark is what counts, not whether this process could
// write anyway (an administrator or root can), so a file the user protected stays protected.
// False for a missing file and for folders.
bool IsReadOnlyFile(const std::string& path);

}  // namespace korvo::platform

#endif  // KORVO_PLATFORM_FILE_ATTRIBUTES_H_
