// The resource script takes every id from the program's one id header.
#pragma once
#include "shell/Ids.h"
