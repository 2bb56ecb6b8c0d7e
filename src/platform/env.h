// The platform seam: everything the portable code asks of the operating system.
//
// Each area has its own header with the contract of every operation; this header gathers them.
// Implementations live in posix/ and win/; nothing outside src/platform/ and the win/ folders
// includes an OS header.
#ifndef KORVO_PLATFORM_ENV_H_
#define KORVO_PLATFORM_ENV_H_

#include "platform/app_folders.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/file_times.h"
#include "platform/files.h"
#include "platform/http.h"
#include "platform/memory.h"
#include "platform/named_lock.h"
#include "platform/net_adapters.h"
#include "platform/tcp_socket.h"
#include "platform/user_protection.h"

#endif  // KORVO_PLATFORM_ENV_H_
