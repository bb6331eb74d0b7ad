#include "CommandLine.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace {

const QString kFullScreen = QStringLiteral("full-screen");

// Options the application object takes for itself (-platform, -style, ...). The line is
// read before that object exists, so that --help works without a display; these are let
// through, with their values, for it to take afterwards. Not listed by --help.
const struct {
    const char* name;
    bool hasValue;
} kQtOptions[] = {
    {"platform", true}, {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true}, {"qwindowtitle", true}, {"style", true},
    {"stylesheet", true}, {"display", true}, {"name", true}, {"session", true},
    {"reverse", false}, {"widgetcount", false}, {"sync", false}, {"nograb", false}, {"dograb", false},
};

void addOptions(QCommandLineParser& parser)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    for (const CommandLine::Option& option : CommandLine::Options())
        parser.addOption(QCommandLineOption(option.name, option.description, option.valueName));
    for (const auto& qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name), QString(),
                                  qt.hasValue ? QStringLiteral("value") : QString());
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    parser.addPositionalArgument(QStringLiteral("path"),
                                 QStringLiteral("A folder to open, or a picture to open its folder on."),
                                 QStringLiteral("[path]"));
}

} // namespace

const std::vector<CommandLine::Option>& CommandLine::Options()
{
    static const std::vector<Option> options{
        {kFullScreen, QString(), QStringLiteral("Show the picture given as path full screen, the browser behind.")},
        {QStringLiteral("export-comments"), QStringLiteral("FILE.csv"),
         QStringLiteral("Write every comment to FILE.csv (header Path,Tooltip) and exit.")},
        {QStringLiteral("import-comments"), QStringLiteral("FILE.csv"),
         QStringLiteral("Add the comments of FILE.csv the store lacks, say how many were added and skipped, and exit.")},
    };
    return options;
}

CommandLine::CommandLine(QString programName, QString version)
    : m_programName(std::move(programName)), m_version(std::move(version))
{
}

QString CommandLine::Usage() const
{
    QCommandLineParser parser;
    addOptions(parser);
    parser.setApplicationDescription(QStringLiteral("Browse the pictures of a folder and view them full screen."));
    // helpText() names the running executable; the usage names the program as installed.
    QString text = parser.helpText();
    const int end = text.indexOf(QLatin1Char('\n'));
    return QStringLiteral("Usage: ") + m_programName + QStringLiteral(" [options] [path]") + text.mid(end);
}

CommandLine::Result CommandLine::Parse(const QStringList& arguments, const QString& currentFolder) const
{
    Result result;
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments)) {
        result.action = Action::Exit;
        result.exitCode = UsageExitCode;
        result.err = m_programName + QStringLiteral(": ") + parser.errorText() + QLatin1Char('\n') + Usage();
        return result;
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        result.action = Action::Exit;
        result.out = Usage();
        return result;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        result.action = Action::Exit;
        result.out = m_programName + QLatin1Char(' ') + m_version + QLatin1Char('\n');
        return result;
    }
    const QStringList paths = parser.positionalArguments();
    if (paths.size() > 1) {
        result.action = Action::Exit;
        result.exitCode = UsageExitCode;
        result.err = m_programName + QStringLiteral(": give at most one folder or file\n") + Usage();
        return result;
    }
    for (const Option& option : Options()) {
        if (parser.isSet(option.name))
            result.values.insert(option.name, option.valueName.isEmpty() ? QString() : parser.value(option.name));
    }
    result.fullScreen = parser.isSet(kFullScreen);
    if (paths.isEmpty()) {
        if (result.fullScreen)
            result.err = m_programName + QStringLiteral(": --full-screen needs a picture to show\n");
        result.fullScreen = false;
        return result;
    }

    // A path that is not there is said, and the program starts as if none were given.
    const QString given = paths.first();
    const QFileInfo info(QDir(currentFolder).absoluteFilePath(given));
    if (!info.exists()) {
        result.err = m_programName + QStringLiteral(": ") + given + QStringLiteral(": no such file or folder\n");
        result.fullScreen = false;
        return result;
    }
    const QString absolute = QDir::cleanPath(info.absoluteFilePath());
    if (info.isDir()) {
        result.folder = absolute;
        if (result.fullScreen)
            result.err = m_programName + QStringLiteral(": --full-screen needs a picture, not a folder\n");
        result.fullScreen = false;
    } else {
        result.folder = QFileInfo(absolute).absolutePath();
        result.file = absolute;
    }
    return result;
}
