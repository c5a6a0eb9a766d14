// The built-in resources (pictures, sounds, music) found by their stored names.
#pragma once
#include <cstddef>

struct ResourceBytes {
    const unsigned char* Data = nullptr;
    std::size_t Size = 0;
    explicit operator bool() const { return Data != nullptr; }
};

ResourceBytes FindResource(const char* storedName); // "res\\BlipSND.ogg"; empty when not built in
int ResourceCount();
const char* ResourceName(int index);
