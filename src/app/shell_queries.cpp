#include "app/shell_queries.h"

#include <cstring>
#include <string>

#include "shell/general_settings.h"
#include "shell/main_window_ids.h"
#include "shell/text_limit.h"

namespace korvo {

std::optional<uint32_t> AnswerFlagQuery(unsigned message, uint32_t flags, bool settings_loaded) {
  switch (message) {
    case main_window_message::kRandomOrderFlag:
      return flags & general_flags::kRandomOrder;
    case main_window_message::kGeneralFlags:
      return flags;
    case main_window_message::kLoadedGeneralFlags:
      return settings_loaded ? flags : 0u;
    case main_window_message::kOpenInBrowseWindow:
      return (flags & general_flags::kOpenInBrowseWindow) != 0 ? 1u : 0u;
    default:
      return std::nullopt;
  }
}

size_t CopyTextToBuffer(std::string_view text, char* buffer, size_t capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  const std::string cut = TruncateCp932(text, capacity - 1);
  std::memcpy(buffer, cut.data(), cut.size());
  buffer[cut.size()] = '\0';
  return cut.size();
}

}  // namespace korvo
