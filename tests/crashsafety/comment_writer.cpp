// Writes comments into a store until it is killed, so that the crash-safety test can
// pull the plug at random moments. Usage:
//   comment_writer <folder> <first command>       the CommentScript commands from there on
// Prints "done <n>" (flushed) after command n has returned, i.e. is committed.
#include "CommentScript.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

[[noreturn]] void fail(const QString& why)
{
    std::fprintf(stderr, "comment_writer: %s\n", qPrintable(why));
    std::exit(2);
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        fail(QStringLiteral("usage: comment_writer <folder> <first command>"));
    const QString folder = QString::fromLocal8Bit(argv[1]);
    bool ok = false;
    const qint64 first = QByteArray(argv[2]).toLongLong(&ok);
    if (!ok || first < 0)
        fail(QStringLiteral("bad first command %1").arg(QString::fromLocal8Bit(argv[2])));
    try {
        TooltipStore store;
        store.Open(folder);
        for (qint64 command = first;; ++command) {
            CommentScript::Run(store, command);
            std::printf("done %lld\n", static_cast<long long>(command));
            std::fflush(stdout);
        }
    } catch (const AppError& error) {
        fail(QStringLiteral("error %1: %2").arg(error.Number()).arg(error.Description()));
    }
}
