#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

class Globals;
class IProcessStarter;

// "Edit Current Image": opens the current image in the application associated with its
// type. The association's command line is split into arguments first and only then is
// the path put in place of each "%1", so a file name can never become a command. Create
// one per main window over its Globals and a process starter; the association reader
// can be replaced for tests.
class EditCommand {
public:
    using RegistryReader = std::function<QString(std::uint32_t, const QString&, const QString&)>;

    EditCommand(Globals& globals, IProcessStarter& starter, RegistryReader reader = {});

    void mnuEdit_Click(const QString& sCurrentFile);

    // The program (first) and arguments that `command` gives for `path`; empty when the
    // command cannot be split, names no program, or would take its program from the path.
    static QStringList CommandArguments(const QString& command, const QString& path);

private:
    Globals& m_globals;
    IProcessStarter& m_starter;
    RegistryReader m_reader;
};
