// Placeholder: typed setting values are being written.
#include "frame/setting_values.h"
