// An OPML document from outside imported into a channel list: the import must keep its bounds,
// the update list must always have an entry, and a saved list must read back to the same update
// list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "channels/channel_list.h"
#include "channels/opml_transfer.h"
#include "channels/user_dialogs.h"

namespace {

class NoDialogs : public korvo::UserDialogs {
 public:
  bool AskOkCancel(const std::string&, const std::string&) override { return false; }
  void ShowWarning(const std::string&, const std::string&) override {}
  bool AskImportSource(std::string*) override { return false; }
  bool AskExportPath(std::string*) override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  korvo::ChannelList list;
  korvo::ImportRequest request;
  request.source = "http://fuzz.invalid/list.opml";
  request.download = [&bytes](const std::string&, std::string* body) {
    *body = bytes;
    return true;
  };
  NoDialogs dialogs;
  korvo::ImportOpml(list, request, dialogs);
  const std::vector<korvo::Channel> channels = korvo::BuildUpdateList(list);
  if (channels.empty()) std::abort();

  // The written text read back gives the same channels.
  korvo::ChannelList reread(korvo::XmlDocument::FromMemory(list.document().Write()));
  const std::vector<korvo::Channel> again = korvo::BuildUpdateList(reread);
  if (again.size() != channels.size()) std::abort();
  for (size_t i = 0; i < channels.size(); ++i) {
    if (again[i].url != channels[i].url || again[i].title != channels[i].title) std::abort();
  }
  return 0;
}
