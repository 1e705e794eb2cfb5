// Whether this is a build with the address sanitizer. Such a build keeps
// no memory back in pools and frees everything before exit, so that its
// checks still see every use after free and every leak.
#pragma once

namespace host {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizerBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizerBuild = true;
#else
inline constexpr bool kAddressSanitizerBuild = false;
#endif
#else
inline constexpr bool kAddressSanitizerBuild = false;
#endif

}  // namespace host
