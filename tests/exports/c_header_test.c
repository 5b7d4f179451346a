/* A host written in C: the public header compiles as C, the records have the
   module's layout, and the C entry points generate NC and list special
   sequences. c_header_test DRIVER TARGET (QUILLET_JOB names the job):
   exit 0 when every check holds. */
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "quillet/quillet.h"

typedef char check_sheet_offset[offsetof(md_machine_inf_, machineType) == 128 ? 1 : -1];
typedef char check_part_offset[offsetof(md_machine_inf_, partCount) == 240 ? 1 : -1];
typedef char check_record_size[sizeof(md_ncg_dat_) == 256 ? 1 : -1];
typedef char check_sequence_name[offsetof(md_ssi_, name) == sizeof(void*) ? 1 : -1];
typedef char check_sequence_count[offsetof(md_ssi_all_, count) == 99 * sizeof(md_ssi_) ? 1 : -1];

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

static int failures = 0;

static void check(int holds, const char* what) {
    if (holds) return;
    fprintf(stderr, "c_header_test: failed: %s\n", what);
    ++failures;
}

static int same(const char* text, const char* expected) {
    return text != NULL && strcmp(text, expected) == 0;
}

int main(int argc, char** argv) {
    /* Static: every name slot starts NULL, as the ownership rule allows. */
    static md_ssi_all_ list;
    FILE* program;
    int i;
    if (argc != 3) return 64;

    check(QuilletCreateNC(argv[1], argv[2]) == QUILLET_DONE, "NC generated");
    program = fopen(argv[2], "r");
    check(program != NULL, "NC program written");
    if (program != NULL) fclose(program);
    check(QuilletCreateNC(argv[1], NULL) == QUILLET_SYSTEM_ERROR, "no target refused");

    /* Cutting: 200 (switch), 202, 203 of the sample driver. */
    QuilletGetSpecialSequence(argv[1], 1, &list);
    check(list.count == 3 && list.entries[0].id == 200 && list.entries[0].valueCount == 0 &&
              same(list.entries[0].name, "Pierce only") && same(list.entries[2].name, "Edge melt"),
          "cutting sequences");
    /* Punching fills two slots, freeing and replacing their names; the third
       stays as it was. */
    QuilletGetSpecialSequence(argv[1], 2, &list);
    check(list.count == 2 && same(list.entries[0].name, "Nibbling pitch") &&
              same(list.entries[1].name, "Slug suction") && same(list.entries[2].name, "Edge melt"),
          "punching sequences replace the earlier names");
    QuilletGetSpecialSequence(NULL, 3, &list);
    check(list.count == 0 && same(list.entries[0].name, "Nibbling pitch"), "other family");

    for (i = 0; i < QUILLET_SPECIAL_SEQUENCES; ++i) free(list.entries[i].name);
    return failures == 0 ? 0 : 1;
}
