// What the local server asks of its routes: one answer per parsed request.
#ifndef KORVO_SERVER_REQUEST_ROUTER_H_
#define KORVO_SERVER_REQUEST_ROUTER_H_

#include <cstddef>
#include <functional>
#include <string>
#include <utility>

#include "server/server_request.h"

namespace korvo {

// The answer to one request. Move-only; a raw answer is released when the object goes.
class RouteAnswer {
 public:
  enum Result { kNone = -1, kText = 0, kRaw = 1 };

  RouteAnswer() = default;
  ~RouteAnswer() { ReleaseRaw(); }
  RouteAnswer(RouteAnswer&& other) noexcept { *this = std::move(other); }
  RouteAnswer& operator=(RouteAnswer&& other) noexcept {
    if (this != &other) {
      ReleaseRaw();
      result_ = other.result_;
      text_ = std::move(other.text_);
      raw_ = other.raw_;
      raw_length_ = other.raw_length_;
      release_ = std::move(other.release_);
      other.result_ = kNone;
      other.raw_ = nullptr;
      other.release_ = nullptr;
    }
    return *this;
  }
  RouteAnswer(const RouteAnswer&) = delete;
  RouteAnswer& operator=(const RouteAnswer&) = delete;

  // Nothing is sent; the connection is closed.
  static RouteAnswer None() { return RouteAnswer(); }
  // The whole answer (status line, headers, body).
  static RouteAnswer Text(std::string text) {
    RouteAnswer a;
    a.result_ = kText;
    a.text_ = std::move(text);
    return a;
  }
  // `length` bytes at `bytes` that belong to someone else; `release` gives them back after
  // they were sent (or when the answer is dropped).
  static RouteAnswer Raw(const char* bytes, size_t length, std::function<void()> release) {
    RouteAnswer a;
    a.result_ = kRaw;
    a.raw_ = bytes;
    a.raw_length_ = length;
    a.release_ = std::move(release);
    return a;
  }

  Result result() const { return result_; }
  const char* data() const { return result_ == kRaw ? raw_ : text_.data(); }
  size_t size() const { return result_ == kRaw ? raw_length_ : text_.size(); }
  const std::string& text() const { return text_; }

 private:
  void ReleaseRaw() {
    if (release_) {
      std::function<void()> release = std::move(release_);
      release_ = nullptr;
      release();
    }
  }

  Result result_ = kNone;
  std::string text_;
  const char* raw_ = nullptr;
  size_t raw_length_ = 0;
  std::function<void()> release_;
};

// Turns requests into answers. Called on the server's accepting thread, one request at a time.
class RequestRouter {
 public:
  virtual ~RequestRouter() = default;
  virtual RouteAnswer Route(const ServerRequest& request) = 0;
};

}  // namespace korvo

#endif  // KORVO_SERVER_REQUEST_ROUTER_H_
