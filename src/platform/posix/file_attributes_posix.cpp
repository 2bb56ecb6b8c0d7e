#include <sys/stat.h>

#include <algorithm>

#include "platform/file_attributes.h"

namespace korvo::platform {

bool IsReadOnlyFile(const std::string& path) {
  std::string native = path;
  std::replace(native.begin(), native.end(), '\\', '/');
  struct stat st;
  if (::stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace korvo::platform
