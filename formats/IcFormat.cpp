// placeholder, being written
#include "formats/IcFormat.h"
