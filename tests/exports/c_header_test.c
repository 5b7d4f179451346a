/* The public header is plain C: a C host can include it and hold the
   addresses of the C exports with their exact types. */
#include "quillet/quillet.h"

#include <stddef.h>

typedef char check_sheet_offset[offsetof(md_machine_inf_, machineType) == 128 ? 1 : -1];
typedef char check_part_offset[offsetof(md_machine_inf_, partCount) == 240 ? 1 : -1];
typedef char check_record_size[sizeof(md_ncg_dat_) == 256 ? 1 : -1];

int (*const quillet_c_lookup)(int, int, int, const char*, const char*, const char*, int, int,
                              char*) = SddGetOthMacCondPath;
int (*const quillet_c_cut_info)(const char*) = SddGetOthCutInf;
int (*const quillet_c_dialog)(int, int, int, const char*, const char*, const char*, int, int,
                              char*) = SddOthMacCondDLG;
int (*const quillet_c_current)(const char*, const char*, const char*,
                               const char*) = MD_SetCurrentInfo;
int (*const quillet_c_laser)(const char*, const char*, const char*, int) = MD_OthMacLasCutDLG;
int (*const quillet_c_tool)(const char*, const char*, const char*, int) = MD_OthMacToolDLG;
int (*const quillet_c_nc)(const char*, const char*) = MD_OthMacNCCreateDLG;
int (*const quillet_c_pdl_dialog)(const char*, int, const char*, int) = SddPDLOthMacLasCutDLG;
int (*const quillet_c_pdl_get)(const char*, int, const char*, int,
                               float*) = SddPDLOthMacLasCutGetInf;
int (*const quillet_c_pdl_delete)(const char*, const char*) = SddPDLOthMacLasCutFileDelete;
int (*const quillet_c_pdl_copy)(const char*, const char*, const char*,
                                const char*) = SddPDLOthMacLasCutFileCopy;
int (*const quillet_c_type)(int) = SddPDLOthMacTypeGet;
