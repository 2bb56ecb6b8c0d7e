// The settings file's network record (section `connect`, shell/network_settings.h) as the
// fetching code takes it.
#ifndef KORVO_FETCH_NETWORK_HTTP_SETTINGS_H_
#define KORVO_FETCH_NETWORK_HTTP_SETTINGS_H_

#include "fetch/http_settings.h"
#include "shell/network_settings.h"

namespace korvo {

// Field for field: type, proxy, port, user agent, time-out.
HttpSettings HttpSettingsFrom(const NetworkSettings& network);

}  // namespace korvo

#endif  // KORVO_FETCH_NETWORK_HTTP_SETTINGS_H_
