#pragma once
#include "BenchTable.h"

#include <QString>

#include <vector>

class BenchServices;

// The full-screen viewer opened from the real main window: a step to the next picture
// with its pixels decoded ahead and without, and the memory a 3x view of a big photo
// takes. The references are a bare widget's repaint and djpeg.
namespace ViewerScenarios {

// `folder` holds three 6000 x 4000 pictures; `bigFolder` two 8000 x 6000 ones.
void Run(std::vector<BenchResult>& results, BenchServices& services, const QString& folder,
         const QString& bigFolder);

// The child mode behind the peak memory row: opens the viewer on the first file of
// `folder`, zooms to 3x and paints. Returns the process's exit code.
int Peak3xChild(const QString& folder);

}
