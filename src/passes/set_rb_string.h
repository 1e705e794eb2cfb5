// Replaces the string of one chain item in place.
#pragma once

#include "adslib.h"

// Copies text over the item's string. When text is longer, the item's buffer
// (which belongs to the chain and is freed with it) is first grown to fit it
// and its terminator. Returns false, leaving the item unchanged, when the
// buffer cannot be grown.
bool SetRbString(resbuf* item, const char* text);
