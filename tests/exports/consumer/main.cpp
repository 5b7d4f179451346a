// A host built against the installed package: calls an export whose answer
// needs no installation (an empty template path is a system error).
#include <quillet/quillet.h>

#include <cstdio>

int main() {
    const int status = SddGetOthCutInf("");
    std::printf("SddGetOthCutInf(\"\") = %d\n", status);
    return status == QUILLET_SYSTEM_ERROR ? 0 : 1;
}
