// Writes comments into a store until it is killed, so that the crash-safety test can
// pull the plug at random moments. Usage:
//   comment_writer <folder> <first command>       the CommentScript commands from there on
// Prints "done <n>" (flushed) after command n has returned, i.e. is committed.
#include "CommentScript.h"

#include <QCoreApplication>

#include <cstdio>

// Only the crash-safety test starts this, always with both arguments.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const qint64 first = QByteArray(argv[2]).toLongLong();
    try {
        TooltipStore store;
        store.Open(folder);
        for (qint64 command = first;; ++command) {
            CommentScript::Run(store, command);
            std::printf("done %lld\n", static_cast<long long>(command));
            std::fflush(stdout);
        }
    } catch (const AppError& error) {
        // The test shows this when no "done" line comes.
        std::fprintf(stderr, "comment_writer: error %d: %s\n", error.Number(), qPrintable(error.Description()));
        return 2;
    }
}
