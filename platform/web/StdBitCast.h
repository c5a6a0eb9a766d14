// Read before every file of the browser build: emscripten's libc++ 14 lacks C++20's std::bit_cast, which the game's
// code uses freely; its compiler's own builtin does the same.
#pragma once
#include <version>

#ifndef __cpp_lib_bit_cast
namespace std {
template <class To, class From> constexpr To bit_cast(const From& from) noexcept {
    static_assert(sizeof(To) == sizeof(From));
    return __builtin_bit_cast(To, from);
}
} // namespace std
#endif
