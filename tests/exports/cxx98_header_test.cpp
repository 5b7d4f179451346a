// The public header in an older C++ host: compiled as C++98, once with the
// header's CString and once (QUILLET_HOST_CSTRING) with the host's own.
#ifdef QUILLET_HOST_CSTRING
class CString {
public:
    CString(const char* text);
    const char* GetString() const;

private:
    char* m_text;
};
#endif
#include "quillet/quillet.h"

typedef char check_string_size[sizeof(CString) == sizeof(void*) ? 1 : -1];

int (*const quillet_cxx_create)(CString, char* const) = MD_CreateNC;
void (*const quillet_cxx_sequences)(CString, int, md_ssi_all_*) = MD_GetSpecialSequence;
int (*const quillet_cxx_c_create)(const char*, char*) = QuilletCreateNC;
