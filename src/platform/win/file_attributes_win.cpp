#include <windows.h>

#include "platform/file_attributes.h"
#include "platform/win/wide_path.h"

namespace korvo::platform {

bool IsReadOnlyFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  return (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

}  // namespace korvo::platform
