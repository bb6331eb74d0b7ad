#pragma once
#include "BenchTable.h"

#include <QString>

#include <vector>

class BenchServices;

// Whether the window keeps answering: the longest stall of the user-interface thread
// while a file on a very slow file system is selected, and how soon Esc hides the viewer
// after Down was held at key-repeat speed over large photos. References: the same
// measure over a bare event loop or a bare window given the same events.
namespace ResponsivenessScenarios {

// `folder` holds three large JPEG photos.
void Run(std::vector<BenchResult>& results, BenchServices& services, const QString& folder);

}
