// The built-in data tables, parsed once from the text files compiled into the program.
//
// A table file holds labels and values:  "#Label" names the position of the next value; values are separated by
// commas or white space; "text" is a string ("" inside it is one quote), a number with a point or exponent a float,
// 0x... or a plain number an integer; ';' outside a string starts a comment. All files form one sequence in the order
// of their names, and reading runs on from one table into the next as it would through one long list.
#include "Data.h"
#include "Resources.h"
#include "System.h"
#include "Text.h"
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {
struct DataValue {
    enum Kind { Integer, Float, String } Type = Integer;
    int IntValue = 0;
    double FloatValue = 0;
    std::string StringValue;
};

struct DataTables {
    std::vector<DataValue> Values;
    std::map<std::string, std::size_t> Labels;
};

[[noreturn]] void BadTable(const std::string& file, int line, const char* what) {
    std::string message = "Bad data table " + file + " line " + std::to_string(line) + ": " + what;
    RuntimeError(message.c_str());
}

// A number read in place, without a copy: start-up reads some 14,000 of them before its first frame. The C library's
// readers stay where the standard library has no floating from_chars (the browser build's); both round correctly, so
// the values are the same.
void ParseNumber(const char* first, const char* last, const std::string& file, int line, DataValue& value) {
    std::size_t length = static_cast<std::size_t>(last - first);
    if (length > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) {
        unsigned long bits = 0;
        auto read = std::from_chars(first + 2, last, bits, 16);
        if (read.ec != std::errc{} || read.ptr != last) BadTable(file, line, "bad hexadecimal number");
        value.Type = DataValue::Integer;
        value.IntValue = static_cast<int>(static_cast<unsigned>(bits));
        return;
    }
    // As the C library reads them, a plus may lead.
    if (length > 1 && first[0] == '+' && first[1] != '-') ++first;
    if (std::find_if(first, last, [](char c) { return c == '.' || c == 'e' || c == 'E'; }) == last) {
        long number = 0;
        auto read = std::from_chars(first, last, number);
        if (read.ec != std::errc{} || read.ptr != last) BadTable(file, line, "bad number");
        value.Type = DataValue::Integer;
        value.IntValue = static_cast<int>(number);
        return;
    }
    double number = 0;
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
    auto read = std::from_chars(first, last, number);
    if (read.ec != std::errc{} || read.ptr != last) BadTable(file, line, "bad number");
#else
    std::string token(first, last);
    char* end = nullptr;
    number = std::strtod(token.c_str(), &end);
    if (*end) BadTable(file, line, "bad number");
#endif
    value.Type = DataValue::Float;
    value.FloatValue = static_cast<float>(number);
}

void ParseTable(const std::string& file, const unsigned char* data, std::size_t size, DataTables& tables) {
    std::size_t i = 0;
    int line = 1;
    while (i < size) {
        char c = static_cast<char>(data[i]);
        if (c == '\n') {
            ++line;
            ++i;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == ',') {
            ++i;
        } else if (c == ';') {
            while (i < size && data[i] != '\n') ++i;
        } else if (c == '#') {
            std::size_t start = ++i;
            while (i < size && data[i] > ' ' && data[i] != ',' && data[i] != ';') ++i;
            std::string label(reinterpret_cast<const char*>(data) + start, i - start);
            if (label.empty()) BadTable(file, line, "empty label");
            if (!tables.Labels.emplace(label, tables.Values.size()).second) BadTable(file, line, "label twice");
        } else if (c == '"') {
            DataValue value;
            value.Type = DataValue::String;
            ++i;
            for (;;) {
                if (i >= size || data[i] == '\n') BadTable(file, line, "unterminated string");
                if (data[i] == '"') {
                    if (i + 1 < size && data[i + 1] == '"') {
                        value.StringValue += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value.StringValue += static_cast<char>(data[i++]);
            }
            tables.Values.push_back(std::move(value));
        } else {
            std::size_t start = i;
            while (i < size && data[i] > ' ' && data[i] != ',' && data[i] != ';') ++i;
            DataValue value;
            const char* token = reinterpret_cast<const char*>(data);
            ParseNumber(token + start, token + i, file, line, value);
            tables.Values.push_back(std::move(value));
        }
    }
}

const DataTables& BuiltInTables() {
    static const DataTables tables = [] {
        DataTables built;
        std::vector<std::string> files;
        for (int r = 0; r < ResourceCount(); ++r) {
            std::string name = ResourceName(r);
            if (name.rfind("data\\", 0) == 0) files.push_back(name);
        }
        std::sort(files.begin(), files.end());
        for (const std::string& file : files) {
            ResourceBytes bytes = FindResource(file.c_str());
            ParseTable(file, bytes.Data, bytes.Size, built);
        }
        return built;
    }();
    return tables;
}

DataTables ReplacedTables;
bool UseReplaced = false;

const DataTables& Tables() { return UseReplaced ? ReplacedTables : BuiltInTables(); }

std::size_t Cursor = 0;

const DataValue& NextValue() {
    const DataTables& tables = Tables();
    if (Cursor >= tables.Values.size()) RuntimeError("Attempt to read beyond end of data");
    return tables.Values[Cursor++];
}
} // namespace

void RestoreData(const char* label) {
    const DataTables& tables = Tables();
    auto found = tables.Labels.find(label);
    if (found == tables.Labels.end()) {
        std::string message = std::string("Data label not found: ") + label;
        RuntimeError(message.c_str());
    }
    Cursor = found->second;
}

bool DataLabelExists(const char* label) { return Tables().Labels.count(label) != 0; }

int DataTableLength(const char* label) {
    const DataTables& tables = Tables();
    auto found = tables.Labels.find(label);
    if (found == tables.Labels.end()) return -1;
    std::size_t end = tables.Values.size();
    for (const auto& [name, position] : tables.Labels)
        if (position > found->second && position < end) end = position;
    return static_cast<int>(end - found->second);
}

void SkipDataValue() { NextValue(); }

int ReadDataInt() {
    const DataValue& value = NextValue();
    switch (value.Type) {
    case DataValue::Integer: return value.IntValue;
    case DataValue::Float: return static_cast<int>(value.FloatValue);
    case DataValue::String: return TextToInt(value.StringValue);
    }
    return 0;
}

double ReadDataDouble() {
    const DataValue& value = NextValue();
    switch (value.Type) {
    case DataValue::Integer: return value.IntValue;
    case DataValue::Float: return value.FloatValue;
    case DataValue::String: return TextToFloat(value.StringValue);
    }
    return 0;
}

float ReadDataFloat() { return static_cast<float>(ReadDataDouble()); }

std::string ReadDataString() {
    const DataValue& value = NextValue();
    switch (value.Type) {
    case DataValue::Integer: return IntToText(value.IntValue);
    case DataValue::Float: return FloatToText(static_cast<float>(value.FloatValue));
    case DataValue::String: return value.StringValue;
    }
    return {};
}

void ResetDataCursor() {
    Cursor = 0;
    UseReplaced = false;
    ReplacedTables = DataTables{};
}

void ReplaceDataTables(const std::string& text) {
    ReplacedTables = DataTables{};
    ParseTable("replacement", reinterpret_cast<const unsigned char*>(text.data()), text.size(), ReplacedTables);
    UseReplaced = true;
    Cursor = 0;
}
