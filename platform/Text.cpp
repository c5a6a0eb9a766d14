// Text conversions: numbers as the game prints them, dates with English month names whatever the locale.
#include "Text.h"
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>

std::string IntToText(int value) { return std::to_string(value); }

std::string FloatToText(float value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%#.9g", static_cast<double>(value));
    return buffer;
}

int TextToInt(const std::string& text) { return static_cast<int>(std::strtol(text.c_str(), nullptr, 10)); }
float TextToFloat(const std::string& text) { return std::strtof(text.c_str(), nullptr); }

std::string FormatDate(int year, int month, int day) {
    static const char* const Months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (month < 1 || month > 12) month = 1;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d %s %d", day, Months[month - 1], year);
    return buffer;
}

std::string CurrentDate() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return FormatDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string UpperCase(const std::string& text) {
    std::string out = text;
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string LowerCase(const std::string& text) {
    std::string out = text;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}
