// The built-in data tables: one sequence of typed values with labels, read through a cursor.
#pragma once
#include <string>

void RestoreData(const char* label);
int ReadDataInt();
float ReadDataFloat();
double ReadDataDouble();
std::string ReadDataString();
// Past the next value, as a read would go (and with the same complaint at the end of all tables), without making it.
void SkipDataValue();
bool DataLabelExists(const char* label);
// The number of values from the label to the next label (or the end of all tables); -1 for an unknown label.
int DataTableLength(const char* label);
// Back to the built-in tables, cursor at the start.
void ResetDataCursor();
// Tables parsed from the given text in place of the built-in ones, until the next reset (for tests).
void ReplaceDataTables(const std::string& text);
