// Base64 with the standard alphabet and '=' padding (RFC 4648), as HTTP Basic authentication
// uses it.
#ifndef KORVO_FETCH_BASE64_H_
#define KORVO_FETCH_BASE64_H_

#include <string>
#include <string_view>

namespace korvo {

std::string Base64Encode(std::string_view bytes);

}  // namespace korvo

#endif  // KORVO_FETCH_BASE64_H_
