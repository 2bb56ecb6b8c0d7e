#include "server/server_request.h"

#include "server/ascii_case.h"

namespace korvo {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

void ParseParameters(std::string_view query, ServerRequest* request) {
  size_t i = 0;
  while (i < query.size()) {
    if (query[i] == '&') ++i;
    const size_t equals = query.find('=', i);
    std::string_view key;
    std::string_view value;
    if (equals == std::string_view::npos) {
      key = query.substr(i);
      i = query.size();
    } else {
      key = query.substr(i, equals - i);
      i = equals + 1;
      const size_t amp = query.find('&', i);
      const size_t end = amp == std::string_view::npos ? query.size() : amp;
      value = query.substr(i, end - i);
      i = end;
    }
    request->parameters.emplace(std::string(key), std::string(value));
    ++request->parameter_count;
  }
}

void KeepHeader(std::string_view line, ServerRequest* request) {
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return;
  const std::string_view name = Trim(line.substr(0, colon));
  const std::string_view value = Trim(line.substr(colon + 1));
  std::optional<std::string>* slot = nullptr;
  if (EqualNoCase(name, "Host")) {
    slot = &request->host;
  } else if (EqualNoCase(name, "Origin")) {
    slot = &request->origin;
  } else if (EqualNoCase(name, "Referer")) {
    slot = &request->referer;
  } else if (EqualNoCase(name, "Sec-Fetch-Site")) {
    slot = &request->fetch_site;
  }
  if (slot != nullptr && !slot->has_value()) *slot = std::string(value);
}

}  // namespace

const std::string* ServerRequest::Parameter(std::string_view key) const {
  auto it = parameters.find(std::string(key));
  return it == parameters.end() ? nullptr : &it->second;
}

bool HasCompleteHead(std::string_view text) {
  for (size_t i = text.find('\n'); i != std::string_view::npos; i = text.find('\n', i + 1)) {
    size_t next = i + 1;
    if (next < text.size() && text[next] == '\r') ++next;
    if (next < text.size() && text[next] == '\n') return true;
  }
  return false;
}

bool ParseServerRequest(std::string_view text, ServerRequest* request) {
  *request = ServerRequest();
  const size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  // Empty lines before the request line are allowed.
  while (!text.empty() && (text.front() == '\r' || text.front() == '\n')) text.remove_prefix(1);

  const size_t line_end = text.find('\n');
  std::string_view line = text.substr(0, line_end);
  if (line.size() < 4 || line.substr(0, 3) != "GET" || (line[3] != ' ' && line[3] != '\t')) {
    return false;
  }
  const size_t slash = line.find('/', 4);
  if (slash == std::string_view::npos) return false;
  size_t end = slash + 1;
  while (end < line.size() && line[end] != '\r' && line[end] != ' ') ++end;
  const std::string_view target = line.substr(slash + 1, end - slash - 1);

  const size_t question = target.find('?');
  request->path = std::string(target.substr(0, question));
  if (question != std::string_view::npos) ParseParameters(target.substr(question + 1), request);

  if (line_end == std::string_view::npos) return true;
  std::string_view rest = text.substr(line_end + 1);
  while (!rest.empty()) {
    const size_t next = rest.find('\n');
    if (next == std::string_view::npos) break;  // a header line cut short is not kept
    std::string_view header = rest.substr(0, next);
    if (!header.empty() && header.back() == '\r') header.remove_suffix(1);
    if (header.empty()) {
      request->head_complete = true;
      break;
    }
    KeepHeader(header, request);
    rest.remove_prefix(next + 1);
  }
  return true;
}

}  // namespace korvo
