#pragma once
#include "IProcessStarter.h"

// Starts programs with QProcess::startDetached: the started program outlives this one
// and is not waited for. One per main window; it holds no state.
class ProcessStarter : public IProcessStarter {
public:
    bool StartDetached(const QString& program, const QStringList& arguments) override;
};
