#include "SelectionStep.h"

int SteppedListIndex(int listIndex, int listCount, int keyCode)
{
    if (listCount <= 0)
        return listIndex;
    if (keyCode == KeyCodes::Down)
        return listIndex < listCount - 1 ? listIndex + 1 : 0;
    if (keyCode == KeyCodes::Up)
        return listIndex < 1 ? listCount - 1 : listIndex - 1;
    return listIndex;
}
