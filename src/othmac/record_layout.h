// The layout of the record store's files, described once: the records of
// the machine index Othmcn.dat and of the material lists, in the current
// format ("[QM700]" marker, fixed-width fields) and in the old marker-less
// format a look-up converts. Every reader of these files (the look-up, the
// audit of a data folder) takes the fields from here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::othmac {

inline constexpr std::string_view kRecordMarker = "[QM700]";
inline constexpr std::string_view kIndexFileName = "Othmcn.dat";
inline constexpr std::string_view kListSuffix = ".__1";
inline constexpr std::string_view kTemplateSuffix = ".CUT";
// The material list of a machine, "<machine>.__1", and the template of a
// pair, "<machine>-<material>.CUT", as a registration names them.
std::string MaterialListName(std::string_view machine);
std::string TemplateFileName(std::string_view machine, std::string_view material);
// A material list or a template by the suffix of its name, letter case
// ignored as on a Windows share.
bool IsMaterialListName(std::string_view name);
bool IsTemplateFileName(std::string_view name);

// Widths of the name fields of the current records; a name is read back from
// its field only, so longer names never match.
inline constexpr std::size_t kNameFieldWidth = 50;
inline constexpr std::size_t kFileFieldWidth = 100;

// Columns [first, first + width) of a record line (0-based); width 0: the
// record has no such field.
struct RecordField {
    std::size_t first = 0;
    std::size_t width = 0;
};

// Where a record's fields stand: its machine type number, its name, the
// file it names and, in an old material list, the sheet thickness that
// joins the name.
struct RecordLayout {
    RecordField number;
    RecordField name;
    RecordField file;
    RecordField thickness;
};
inline constexpr RecordLayout kIndexRecord{
    {7, 3}, {10, kNameFieldWidth}, {60, kFileFieldWidth}, {}};
inline constexpr RecordLayout kListRecord{{}, {7, kNameFieldWidth}, {57, kFileFieldWidth}, {}};
inline constexpr RecordLayout kOldIndexRecord{{0, 3}, {3, 8}, {11, 12}, {}};
inline constexpr RecordLayout kOldListRecord{{}, {0, 8}, {13, 12}, {8, 5}};

// The text of field in line, as far as the line goes.
std::string_view FieldText(std::string_view line, RecordField field);
// A name read back from its field: it ends at the field's first space (a
// line break inside a field, on a short hand-edited line, ends it too).
std::string_view FieldName(std::string_view field);
// atoi and atof of a field (the C locale).
int FieldInteger(std::string_view field);
double FieldReal(std::string_view field);

// The search of a look-up in the text (in text mode) of the index or of a
// material list: the file named by the first record of that machine type
// and name, or of that material; names compare without regard to ASCII
// case. nullopt when no record matches.
std::optional<std::string> FindMachineRecord(std::string_view text, int machineTypeNo,
                                             std::string_view machine);
std::optional<std::string> FindMaterialRecord(std::string_view text, std::string_view material);

// An old record as its conversion takes it: the name of an old material
// list carries the thickness formatted "%-5.1lf" ("SPCC" and 1.6 give
// "SPCC1.6  "). nullopt for a record without a name, which the conversion
// skips.
struct OldRecord {
    int number = 0;
    std::string name;
    std::string file;
};
std::optional<OldRecord> ReadOldRecord(std::string_view line, const RecordLayout& layout);

// The record lines as written ("[QM700]%3d%-50s%-100s\n" and
// "[QM700]%-50s%-100s\n").
std::string MachineRecord(int machineTypeNo, const std::string& machineName,
                          const std::string& listFileName);
std::string MaterialRecord(const std::string& materialName, const std::string& templateFileName);

}  // namespace quillet::othmac
