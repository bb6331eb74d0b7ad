#pragma once
#include "BenchTable.h"

#include <QSize>
#include <QString>

#include <vector>

class BenchServices;

// The main window's preview: a selection's cost to the handler and until the preview's
// pixels arrive, and the memory a huge photo's preview takes. Ours is always the real
// main window, offscreen; the references are djpeg and a bare QImageReader.
namespace PreviewScenarios {

// `folder` holds a.jpg and b.jpg, both 6000 x 4000; `hugeFolder` holds one 12000 x 8000.
void Run(std::vector<BenchResult>& results, BenchServices& services, const QString& folder,
         const QString& hugeFolder);

// The child modes behind the peak memory row; each returns the process's exit code.
// Selects the first file of `folder` in a main window and waits for its preview pixels;
// a folder without pictures gives the main window alone.
int PeakPreviewChild(const QString& folder);
// Reads `file` with a bare QImageReader scaled to `size` and shows it in a bare widget.
int PeakReferenceChild(const QString& file, QSize size);

}
