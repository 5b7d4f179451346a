// Placeholder: the profile engine is being written.
#include "platform/profile.h"
