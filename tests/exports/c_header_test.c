/* A host written in C: the public header compiles as C90, its records have
   the module's layout (the exports' types are checked where the module
   defines them against the same declarations), and the C entry points
   generate NC and list special sequences.
   c_header_test DRIVER TARGET, QUILLET_JOB naming the job: exit 0 when every
   check holds. */
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

static int failures = 0;
#define CHECK(holds) \
    ((holds) ? (void)0 : (void)(fprintf(stderr, "c_header_test: failed: %s\n", #holds), ++failures))
#define NAME(i) list.entries[i].name

int main(int argc, char** argv) {
    /* Static: every name slot starts NULL, as the ownership rule allows. */
    static md_ssi_all_ list;
    FILE* program;
    int i;
    if (argc != 3) return 64;

    CHECK(QuilletCreateNC(argv[1], argv[2]) == QUILLET_DONE);
    program = fopen(argv[2], "r");
    CHECK(program != NULL && fclose(program) == 0);

    /* Cutting: 200 (a switch), 202, 203 of the sample driver. */
    QuilletGetSpecialSequence(argv[1], 1, &list);
    CHECK(list.count == 3 && list.entries[0].id == 200 && list.entries[0].valueCount == 0);
    CHECK(!strcmp(NAME(0), "Pierce only") && !strcmp(NAME(2), "Edge melt"));
    /* Punching replaces the names of two slots; the third stays. */
    QuilletGetSpecialSequence(argv[1], 2, &list);
    CHECK(list.count == 2 && !strcmp(NAME(0), "Nibbling pitch") &&
          !strcmp(NAME(1), "Slug suction"));
    CHECK(!strcmp(NAME(2), "Edge melt"));
    QuilletGetSpecialSequence(NULL, 3, &list);
    CHECK(list.count == 0 && !strcmp(NAME(0), "Nibbling pitch"));

    for (i = 0; i < QUILLET_SPECIAL_SEQUENCES; ++i) free(list.entries[i].name);
    return failures == 0 ? 0 : 1;
}
