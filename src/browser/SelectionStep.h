#pragma once
#include "KeyCodes.h"

// Where a step of the file-list selection lands: KeyCodes::Down moves to the next entry
// and wraps from the last to the first, KeyCodes::Up moves back and wraps from the first
// (or no selection) to the last. Any other key, or an empty list, leaves the index as it is.
int SteppedListIndex(int listIndex, int listCount, int keyCode);

