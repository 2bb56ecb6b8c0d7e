// Any bytes as the legacy settings file: decoding stays in bounds and the image round-trips.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "shell/legacy_settings_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const korvo::GeneralSettings settings = korvo::DecodeLegacySettings(data, size);
  const korvo::LegacySettingsImage image = korvo::EncodeLegacySettings(settings);
  if (!(korvo::DecodeLegacySettings(image.data(), image.size()) == settings)) std::abort();
  return 0;
}
