// IKorvoServer: the process-wide, reference-counted server object through which the program
// reaches its local server.
//
// AcquireKorvoServer creates the object on its first call and afterwards returns the same
// object, each time with one more reference. QueryInterface accepts the names "IMyUnknown" and
// "IKorvoServer" (case ignored): it adds a reference and gives the object itself; any other name
// gives null and -1. When the last reference is released the server stops (the accepting thread
// gets at most 3000 ms to end) and the object goes; a later AcquireKorvoServer makes a new one.
//
// The operations, in slot order:
//   AddRef, Release, QueryInterface   as above; AddRef and Release return the new count
//   Init(port, backlog, mode, timeout) binds and listens (mode 1: 127.0.0.1, 0: every address,
//                                   other: -1) and sets the read timeout; always 0, the bind
//                                   result stays in LastError()
//   Start                           starts the accepting thread: 0, or -1 without a listening
//                                   socket
//   Reserved                        does nothing: 0
//   SetAllowList(text)              adds allow_ip entries: 0, or -1 when one is too long
// and, after them, this program's own:
//   SetRouter(router)               the routes (before Start)
//   Port                            the bound port (0 when not bound)
//   LastError                       0, or the failure code of the last Init; -2 before any
//   Server                          the LocalServer itself (tests, diagnostics)
//
// Threads: the reference count is atomic; the other operations belong to the thread that
// starts and stops the server (the window thread of korvo.exe).
#ifndef KORVO_SERVER_KORVO_SERVER_H_
#define KORVO_SERVER_KORVO_SERVER_H_

#include <cstdint>
#include <memory>

#include "server/local_server.h"
#include "server/request_router.h"

namespace korvo {

class IMyUnknown {
 public:
  virtual long AddRef() = 0;
  virtual long Release() = 0;
  virtual int QueryInterface(const char* name, void** object) = 0;

 protected:
  ~IMyUnknown() = default;
};

class IKorvoServer : public IMyUnknown {
 public:
  virtual int Init(uint32_t port, int backlog, int address_mode, int timeout_ms) = 0;
  virtual int Start() = 0;
  virtual int Reserved() = 0;
  virtual int SetAllowList(const char* text) = 0;
  virtual void SetRouter(std::shared_ptr<RequestRouter> router) = 0;
  virtual uint16_t Port() = 0;
  virtual int LastError() = 0;
  virtual LocalServer& Server() = 0;

 protected:
  ~IKorvoServer() = default;
};

// The factory: the process-wide object with one more reference.
IKorvoServer* AcquireKorvoServer();

}  // namespace korvo

#endif  // KORVO_SERVER_KORVO_SERVER_H_
