#include "GeometryTest.h"

QTEST_MAIN(GeometryTest)
