// PDL cutting-condition tables: the 128-slot parameter record, the 88 keys in
// slot order, the reading and writing of one table section, and the text in
// which a parameter value is shown to the user.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "frame/cutting_conditions.h"
#include "platform/profile.h"

namespace quillet::pdl {

// A table is identified by its cutting-condition index 0 (K) to 12 (P103).
using PdlCutTable = int;
inline constexpr int kPdlTableCount = frame::kCuttingConditionCount;
inline constexpr bool IsPdlTable(int index) { return frame::IsCuttingConditionIndex(index); }

// Section of each table in a condition file: "PDL_CUT_" and the table's
// cutting-condition name ("PDL_CUT_K" ... "PDL_CUT_P103").
extern const std::array<std::string, kPdlTableCount> kPdlTableSections;

// The record of one table: 128 float slots (512 bytes, the host's block).
// Slots 0-87 are the parameters below; 88-127 are spare and never stored.
inline constexpr int kPdlSlotCount = 128;
inline constexpr int kPdlParamCount = 88;
struct PdlCutCondition {
    std::array<float, kPdlSlotCount> slot{};
};
static_assert(sizeof(PdlCutCondition) == 512);

// The file keys of the 88 parameters in slot order, which is also the order
// in which the writer lists them. The spellings (NCDubleTool, HightControll,
// CutingMode, ...) are those of the stored files and must not be corrected.
inline constexpr std::array<std::string_view, kPdlParamCount> kPdlParamKeys = {
    "Power",
    "Frequency",
    "DutyCycle",
    "Feedrate",
    "GasType",
    "GasPressure",
    "BeamOffsetNo",
    "BeamOffsetWidth",
    "PulseType",
    "NCPage",
    "NCTool",
    "SubProgramNo",
    "BeamStandOff",
    "InnerApproach",
    "OuterApproach",
    "InnerEscape",
    "OuterEscape",
    "DwellTime",
    "PPMDutyCycle",
    "EdgeCtrlLen",
    "MinEdgeCtrlLen",
    "MinLoopbackLen",
    "DwellTime2",
    "AngleMax",
    "EndCutSubProgramNo",
    "NCDubleTool",
    "PierceCoolTime",
    "HighSpeedPierce",
    "Acceleration",
    "NCToolSub",
    "ApproachFeedrate",
    "PriCut",
    "ApproachContourSub",
    "InOutUsage",
    "Ampere",
    "NonZupSubProgramNo",
    "InitialConditionNo",
    "BeamOnType",
    "PochSubProgramNo",
    "HpccMode",
    "ZOrgHeight",
    "ApproachZHeght",
    "ZapproachFeedrate",
    "Amperei1",
    "Amperei2",
    "AmpereWide",
    "RepeatNum",
    "Pierce1stShotNum",
    "Pierce2ndRepeatNum",
    "Pierce2ndShotNum",
    "Pierce3rdRepeatNum",
    "Pierce3rdShotNum",
    "GasTypeNo",
    "HightControll",
    "GasPressureChangeDwell",
    "LaserChangeDwell",
    "FocusPoint",
    "NozzleDiameter",
    "PonchNCTool",
    "AfterPierceStopZhight",
    "HeightControlMode",
    "LeadOutOrLeadIn",
    "NCMaterialNo",
    "NCThicknessNo",
    "PulseOnTime",
    "PulseOffTime",
    "UseSwitchBack",
    "SpotLeftTNo",
    "SpotRightTNo",
    "SpotRLFeed",
    "NCToolMcode",
    "UseOpePaneCondition",
    "NCCutTypeMcode",
    "NCPulseMcode",
    "PurgeTime",
    "EdgeData",
    "ApproachData",
    "IncrementFreq",
    "IncrementCycle",
    "RecoverDist",
    "RecoverFeedrate",
    "RecoverFreq",
    "RecoverDuty",
    "PowerPierceSub",
    "LaserType",
    "PierceMode",
    "CutingMode",
    "TechTableNO"};

// String-table ids of a slot's label and description.
inline constexpr int kPdlLabelStringBase = 206;
inline constexpr int kPdlDescriptionStringBase = 400;

// Writes the 88 keys of table's section into document in slot order, each
// as "%lf" of the slot widened to double: existing keys are replaced where
// they stand, missing keys and a missing section are added. Other sections
// are not touched. The document is not saved. table must be 0-12.
void WritePdlCutCondition(platform::ProfileDocument& document, PdlCutTable table,
                          const PdlCutCondition& record);

// Reads the 88 keys of table's section into slots 0-87 (atof of the text,
// narrowed to float; -1 for a missing key, section or file; 0 for text
// without a leading number). Slots 88-127 are not touched: callers clear the
// record first.
void ReadPdlCutCondition(const platform::ProfileDocument& document, PdlCutTable table,
                         PdlCutCondition& record);

// The text in which a value is shown: "%.3f" (C locale) with the trailing
// zeros of the decimals dropped, and the point with them when no decimal is
// left (100 -> "100", 2.9996 -> "3", -0.0001 -> "-0"). At most 49 characters.
std::string FormatPdlValue(float value);

}  // namespace quillet::pdl
