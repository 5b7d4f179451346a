// The public header in an older C++ host: compiled as C++98, once with the
// header's CString and once (QUILLET_HOST_CSTRING) with the host's own.
#ifdef QUILLET_HOST_CSTRING
struct CString {
    char* text;  // one pointer to a malloc'ed text, as the module takes it
};
#endif
#include "quillet/quillet.h"

typedef char check_string_size[sizeof(CString) == sizeof(void*) ? 1 : -1];
