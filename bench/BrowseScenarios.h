#pragma once
#include "BenchTable.h"

#include <QString>

#include <vector>

class BenchServices;

// Browsing as a user meets it: a Down step in the file list to a picture decoded ahead;
// the first preview of a real photograph; and the program's start to its first painted
// window. References: a bare window's repaint, djpeg at the same scale, and a minimal Qt
// window started the same way.
namespace BrowseScenarios {

// `folder` holds three or more large JPEGs; `photo` names a real photograph (may be empty).
void Run(std::vector<BenchResult>& results, BenchServices& services, const QString& folder, const QString& photo,
         const QString& scratch);

// The child modes behind the start-up row: a main window over `folder`, or a bare window,
// shown until first painted. Return the process's exit code.
// Makes `root` a home for StartupChild: settings that start in `folder`, a comment store.
int StartupPrepareChild(const QString& root, const QString& folder);
int StartupChild(const QString& root, const QString& folder);
// The reference: an empty main window, or with `menuAndList` one with a menu bar and a list.
int StartupReferenceChild(bool menuAndList);

}
