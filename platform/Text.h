// Text conversions the game shows and stores.
#pragma once
#include <string>

std::string IntToText(int value);
std::string FloatToText(float value); // "%#.9g"
int TextToInt(const std::string& text);
float TextToFloat(const std::string& text);
std::string CurrentDate(); // "08 Dec 2026", English months whatever the locale
std::string FormatDate(int year, int month, int day);
std::string UpperCase(const std::string& text);
std::string LowerCase(const std::string& text);
