// placeholder, being written
#include "formats/StripBitmap.h"
