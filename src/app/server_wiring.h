// How korvo.exe and korvo-headless plug the local server into the application shell
// (AppStage::kLocalServer): the ticker's shown list becomes the source of the item copies that
// the server's routes and the plug-ins read, and the ServerComponent gets routes that open items
// through the ticker's lists, ask the update cycle for the latest arrival, load templates from
// setup.ini's `template_path` (the defaults are template/frame.html and template/style.css in the
// program folder, else the built-in documents; web addresses are fetched with the network
// settings) and hand `dllfunc` requests to the plug-in dispatcher.
//
// Call after AttachUpdateRoad. The shell owns the component; the returned pointer stays valid
// until the shell is destroyed.
#ifndef KORVO_APP_SERVER_WIRING_H_
#define KORVO_APP_SERVER_WIRING_H_

#include <functional>
#include <string>

#include "app/update_wiring.h"

namespace korvo {

class ServerComponent;

// `log` takes the server's lines (any thread); may be empty.
ServerComponent* AttachLocalServer(AppShell& shell, const UpdateWiring& road,
                                   std::function<void(const std::string&)> log);

}  // namespace korvo

#endif  // KORVO_APP_SERVER_WIRING_H_
