// The custom field-types table: the user's mappings from SQL type names to the dictionary's
// data types, kept in a text file beside the program and, while the program runs, in the
// global queue FieldTypesQueue (FTC), ordered by its key (type name, size, digits).
//
// File lines read "VARCHAR,50,0=CSTRING(51)". In a data type "*" stands for the column size
// (first) and the decimal digits (second); "SKIP" leaves the column out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "catalog/txd_writer_file.h"
#include "platform/core/fixed_string.h"
#include "platform/core/queue.h"
#include "platform/core/record.h"

namespace catalog {

struct FieldTypesQueueRecord {
  platform::CString<81> ODBCFIELDTYPE;  // SQL type name, upper case
  int32_t COLUMNSIZE = 0;
  int32_t DECIMALDIGITS = 0;
  platform::CString<81> CLARIONFIELDTYPE;  // data type, with "*" for size and digits, or SKIP
  static const platform::RecordLayout& Layout();
};

extern platform::Queue<FieldTypesQueueRecord> FieldTypesQueue;
inline FieldTypesQueueRecord& FTC = FieldTypesQueue.buffer;
// The table's key: type name, size, digits, ascending.
const platform::QueueKey& FieldTypesKey();

// LoadCustomFieldTypes: replaces FieldTypesQueue with the mappings of the file, creating the
// file empty when it does not exist. Comment lines ("!" or ";" first) and lines without "="
// are skipped; the first line for a key wins. When the file cannot be read a message names
// it and the error, the table stays empty, and the file is not rewritten until a later load
// succeeds, so the user's mappings are never overwritten by an incomplete table.
void LoadCustomFieldTypes();

// AddCustomFieldType: leaves in FTC the row stored under the key (upper-cased type name,
// size, digits): the existing one when there is one, else a new row with `data_type` (the
// type name itself when `data_type` is empty), which is added to the table and, after a
// successful load, written to the file with every other row in key order. A file that
// cannot be written shows a message and stays as it was; the row is still used.
void AddCustomFieldType(std::string_view type_name, std::string_view data_type, int32_t size,
                        int32_t digits);

// The file's name: the program's path without ".exe", then "_fieldtypes.ini" (in the current
// directory when the program's path is a bare name).
std::string CustomFieldTypesFileName();

// One mapping line, as read from the file.
struct FieldTypeLine {
  std::string type_name;  // upper case
  int32_t size = 0;
  int32_t digits = 0;
  std::string data_type;
};
// The mapping a line holds, or nullopt for a comment or a line without "=". A key with more
// than two commas ("NUMERIC(10,2),10,2") takes its last two parts as the size and digits.
std::optional<FieldTypeLine> ParseFieldTypeLine(std::string_view line);
// The file line of a row: "VARCHAR,50,0=CSTRING(51)".
std::string FieldTypeFileLine(const FieldTypesQueueRecord& row);

// For tests: as if the table had never been loaded (the file is then not rewritten).
void TEST_ForgetFieldTypesLoad();

}  // namespace catalog
