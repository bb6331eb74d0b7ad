#include "CommentsTest.h"

QTEST_GUILESS_MAIN(CommentsTest)
