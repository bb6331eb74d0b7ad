#pragma once
#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// What the program was asked on its command line, turned into one decision before any
// window exists: start (perhaps on a folder or a file) or print something and leave.
// The options live in one table (Options()); a new option is a row there, and its value
// is read back with Value() or IsSet(). Create one with the program's name and version,
// then call Parse with the arguments (the program's path first) and the folder that
// relative paths are taken from; main() does so before the application object exists,
// so that --help and --version work without a display, and lets Qt's own options
// (-platform, -style, ...) through for that object. Parse looks at the disk only to see
// whether the path given exists and whether it is a folder.
class CommandLine {
public:
    struct Option {
        QString name;          // long name, used as "--name"
        QString valueName;     // empty for a switch
        QString description;   // one line for --help
    };
    // The options the program knows, --help and --version aside.
    static const std::vector<Option>& Options();

    enum class Action { Start, Exit };
    struct Result {
        Action action = Action::Start;
        int exitCode = 0;      // for Action::Exit
        QString out;           // to print on standard output
        QString err;           // to print on standard error (also when starting)
        QString folder;        // the folder to open; empty: the stored last folder
        QString file;          // the file to select in it (absolute); may be empty
        bool fullScreen = false;
        QHash<QString, QString> values;  // option name -> value ("" for a switch that was given)
        bool IsSet(const QString& name) const { return values.contains(name); }
        QString Value(const QString& name) const { return values.value(name); }
    };

    CommandLine(QString programName, QString version);
    Result Parse(const QStringList& arguments, const QString& currentFolder) const;
    // The usage text --help prints.
    QString Usage() const;

    static constexpr int UsageExitCode = 2;

private:
    QString m_programName;
    QString m_version;
};
