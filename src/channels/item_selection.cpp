#include "channels/item_selection.h"

namespace korvo {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

int64_t PackedDateToMinutes(uint32_t packed) {
  const int64_t year = packed >> 20;
  const int64_t month = (packed >> 16) & 0xF;
  const int64_t day = (packed >> 11) & 0x1F;
  const int64_t hour = (packed >> 6) & 0x1F;
  const int64_t minute = packed & 0x3F;
  return DaysFromCivil(year, month, day) * 1440 + hour * 60 + minute;
}

bool ShouldStoreItem(const ItemFilterOptions& options, const ItemTexts& texts) {
  if (options.noAddToDb) return false;
  return FilterDecision(options, texts, kFilterPurposeStore) != 0;
}

std::vector<DisplayVerdict> SelectForDisplay(const std::vector<DisplayCandidate>& items,
                                             uint32_t now) {
  std::vector<DisplayVerdict> verdicts(items.size());
  size_t visible = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    const DisplayCandidate& item = items[i];
    const ItemFilterOptions& options = *item.options;
    if (FilterDecision(options, item.texts, kFilterPurposeShow) == 0 ||
        (options.onlyNew && item.alreadyStored)) {
      verdicts[i].removed = true;
    } else {
      ++visible;
    }
  }
  const int64_t now_minutes = PackedDateToMinutes(now);
  for (size_t i = 0; i < items.size(); ++i) {
    if (verdicts[i].removed) continue;
    const DisplayCandidate& item = items[i];
    const ItemFilterOptions& options = *item.options;
    bool hide = false;
    if (visible > 1 && (options.skipAll || (options.drop && item.read))) {
      hide = true;
    } else if (options.itemTtl != 0) {
      const uint32_t date = item.createDay != 0 ? item.createDay : item.getDay;
      if (date != 0) {
        const int64_t age = now_minutes - PackedDateToMinutes(date);
        hide = age > static_cast<int64_t>(options.itemTtl) * 60;
      }
    }
    if (hide) {
      verdicts[i].hidden = true;
      --visible;
    }
  }
  return verdicts;
}

}  // namespace korvo
