// The CSV form of a PDL table: the lines pdl-table --csv writes and the
// reader pdl-import takes them back with, as spreadsheets save them.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "cli.h"

namespace quillet::host {

// The shortest text that reads back as the same float (C locale).
std::string FloatText(float value);

// The header line and one row of the written form: slot,key,label,value,
// each value as FloatText gives it.
std::string CsvTableHeader();
std::string CsvTableRow(int slot, std::string_view key, const std::string& label, float value);

// The values of a CSV file by slot, matched by the column the header names
// "key", read from the one it names "value", each as the table's float keeps
// it. The separator is the one that splits the header into both columns
// (comma, semicolon or tab); the header in any letter case, empty rows
// skipped, LF, CR LF or CR line ends, UTF-8 or UTF-16 with its byte-order
// mark. A value that storing changes is warned of on standard error. An
// empty map after the failure was reported (exitCode set): no such file, a
// key that is no parameter or given twice, a value that is no finite number
// within the float or written with a decimal comma, no value rows.
std::map<int, float> ReadCsvValues(const Report& report, const std::string& csvFile, int& exitCode);

}  // namespace quillet::host
