// The network settings every request is made with (section `connect` of setup.ini), and how they
// become the options of the platform's HTTP request.
//
// The fields are those of the settings file; the application fills this plain struct from its
// own settings record and hands a copy to the fetching code, which only reads it.
#ifndef KORVO_FETCH_HTTP_SETTINGS_H_
#define KORVO_FETCH_HTTP_SETTINGS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/http.h"
#include "shell/network_settings.h"

namespace korvo {

constexpr char kFetchDefaultUserAgent[] = "korvo/2.75";

struct HttpSettings {
  int32_t type = 0;   // proxy mode: 0 system, 1 direct, 2 named proxy; others fail
  std::string proxy;  // proxy host for mode 2 (CP932)
  int32_t port = 0;   // proxy port for mode 2; 0: none
  std::string user_agent = kFetchDefaultUserAgent;
  int32_t time_out = 30;  // seconds, for every wait of a request
};

// The named proxy as requests use it: "%s:%d" of proxy and port, or the proxy text unchanged when
// the port is 0 (or negative, which no proxy has).
std::string ProxyText(const HttpSettings& settings);

// `agent` when it begins with "korvo/" (case-sensitive), else "korvo/2.75".
std::string EffectiveUserAgent(std::string_view agent);

// time_out in milliseconds. A value below 1 s (a damaged setting) means the default 30 s, so a
// request can never wait without end; a value above a day is taken as a day.
int TimeoutMilliseconds(int32_t seconds);

// The overall deadline of one fetch: four times the time-out (two minutes with the default
// 30 s). The time-out bounds each wait for the server; the deadline bounds the whole request, so
// a server that keeps sending a byte now and then (or "100 Continue" without end) cannot hold a
// fetch longer than this.
int FetchDeadlineMilliseconds(int timeout_ms);

// The fields of the section `connect` as the application shell keeps them.
HttpSettings HttpSettingsFrom(const NetworkSettings& network);

// The request options for these settings; `timeout_ms` > 0 replaces the time-out.
platform::HttpOptions RequestOptions(const HttpSettings& settings, int timeout_ms = 0);

}  // namespace korvo

#endif  // KORVO_FETCH_HTTP_SETTINGS_H_
