// The string table of the English set (libQuillet_rs.so): the same
// identifiers as the Japanese set, with the same units and codes in the labels.
#include "parts.h"

namespace quillet::resources::en {

namespace {
const QuilletResourceText kEntries[] = {
    // Messages of the NC data settings, the server path and the master buttons.
    {"201", "SYSTEM ERROR: Failed to get the server path name."},
    {"202", "NC data for this other machine has not been set up."},
    {"203", "Make the machine name of the other machine 50 characters or fewer."},
    {"204",
     "The current settings will be registered as the master file. Continue?\n"
     "\n"
     "(Note) Once registered, the settings can also be loaded for other cutting conditions with "
     "the \"Load master\" button."},
    {"205",
     "The master will be loaded. Continue?\n"
     "\n"
     "(Note) Loading replaces all current settings with the master values."},
    // Labels of the 88 PDL laser parameters, by slot (206 + slot).
    {"206", "Power(W)"},
    {"207", "Frequency(Hz)"},
    {"208", "Duty(%)"},
    {"209", "Feed rate(mm/min)"},
    {"210", "Assist gas type"},
    {"211", "Assist gas pressure"},
    {"212", "Beam offset No"},
    {"213", "Beam offset amount"},
    {"214", "Pulse type"},
    {"215", "Condition page No"},
    {"216", "Condition number"},
    {"217", "Condition subprogram number"},
    {"218", "Stand-off"},
    {"219", "Inner approach number"},
    {"220", "Outer approach number"},
    {"221", "Inner escape number"},
    {"222", "Outer escape number"},
    {"223", "Dwell time(sec)"},
    {"224", "PPM duty(%)"},
    {"225", "Edge length(-=remaining)"},
    {"226", "Min edge control length"},
    {"227", "Min loop-back length"},
    {"228", "Dwell time 2(sec)"},
    {"229", "Max angle(0=for approach)"},
    {"230", "End subprogram number"},
    {"231", "Double pierce condition number"},
    {"232", "Pierce cooling time"},
    {"233", "High-speed pierce(0=No/1=Yes)"},
    {"234", "Acceleration(m/s2)"},
    {"235", "Condition sub No"},
    {"236", "Approach feed rate(0=unused)"},
    {"237", "Pre-cut(0=No/1=Yes)"},
    {"238", "Approach condition sub number"},
    {"239", "Applies to(0=both/1=inner/2=outer)"},
    {"240", "Current(A)"},
    {"241", "End subprogram number without Z up"},
    {"242", "Initial condition number for #501"},
    {"243", "Pierce type(0=general/1=high speed/2=thick plate)"},
    {"244", "Subprogram number for punch marks"},
    {"245", "High-precision contour control(0=OFF/1=ON)"},
    {"246", "Z work origin height"},
    {"247", "Z-axis approach start height"},
    {"248", "Z-axis approach feed rate"},
    {"249", "Current i1"},
    {"250", "Current i2"},
    {"251", "Current width W"},
    {"252", "Repeat count R"},
    {"253", "Pierce shot count s"},
    {"254", "Pierce step 2 repeat count t"},
    {"255", "Pierce step 2 shot count u"},
    {"256", "Pierce step 3 repeat count v"},
    {"257", "Pierce step 3 shot count y"},
    {"258", "Gas number(1=O2/2=other/3=super)"},
    {"259", "Height tracking(0=none/1=on)"},
    {"260", "Gas settling time(sec)"},
    {"261", "Laser settling time(sec)"},
    {"262", "Focus control(mm)"},
    {"263", "Nozzle diameter"},
    {"264", "Condition number for punch marks"},
    {"265", "Z lift after pierce at M00"},
    {"266", "Height tracking mode"},
    {"267", "For edge lead-in"},
    {"268", "Material number"},
    {"269", "Thickness number"},
    {"270", "Pulse on time(msec)"},
    {"271", "Pulse off time(msec)"},
    {"272", "Switch-back(0=none/1=on)"},
    {"273", "Spot L tool number"},
    {"274", "Spot R tool number"},
    {"275", "Spot tool F(%)"},
    {"276", "Laser output M code"},
    {"277", "Use the NC panel conditions(0=No/1=Yes)"},
    {"278", "Condition M code"},
    {"279", "Pulse M code"},
    {"280", "Purge time"},
    {"281", "Edge data"},
    {"282", "Approach data"},
    {"283", "Incremental frequency"},
    {"284", "Incremental duty"},
    {"285", "Return distance"},
    {"286", "Return feed rate"},
    {"287", "Return frequency"},
    {"288", "Return duty"},
    {"289", "Power pierce subprogram number"},
    {"290", "Machining method(1=tracking ON/2=tracking OFF)"},
    {"291", "Pierce mode(0=auto/11=soft)"},
    {"292", "Cutting mode(100=large-600)"},
    {"293", "Technology table No"},
    // Captions of the driver settings grid.
    {"300", "On/Off"},
    {"301", "Condition"},
    {"302", "Value"},
    {"303", "Before"},
    {"304", "After"},
    {"305", "After last"},
    // The driver file name check of the driver dialogs.
    {"488",
     "The machine driver file name is invalid.\n"
     "Check the \"Driver file name\" in the NC unit information of the machine management."},
    // A shared file whose lock another workstation kept too long (%s: the file).
    {"file.busy",
     "Another workstation is holding %s and did not let go of it within 30 seconds.\n"
     "Nothing was saved. Try again once that workstation is done, or restart it if it has "
     "stopped."},
    // Message-box buttons, and what the dialogs say when they refuse an entry.
    {"button.ok", "OK"},
    {"button.yes", "&Yes"},
    {"button.no", "&No"},
    {"entry.not_a_number",
     "\"%1\" is not a number. Type digits with a point as the decimal mark and no group "
     "separators (for example 1500.5). The value was not changed."},
    {"entry.not_an_integer",
     "\"%1\" is not a whole number. Type digits without a decimal mark or group separators "
     "(for example 1500). The value was not changed."},
    {"entry.out_of_range",
     "\"%1\" is out of range. Type a value from %2 to %3. The value was not changed."},
    {"text.not_cp932",
     "\"%1\" (U+%2) cannot be stored in the data folder's code page (CP932) and cannot be "
     "used."},
};
}  // namespace

const TextTable kStringTable = MakeTable(kEntries);

}  // namespace quillet::resources::en
