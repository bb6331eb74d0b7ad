#include <QApplication>
#include <QTest>
#include <memory>

std::unique_ptr<QObject> newFileCommandsTest();
std::unique_ptr<QObject> newEditCommandTest();
std::unique_ptr<QObject> newInfoAndDiskTest();

// The commands' test classes run one after the other in one executable; options
// (-o, -v2 ...) go to each of them.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int failures = 0;
    for (const auto& make : {newFileCommandsTest, newEditCommandTest, newInfoAndDiskTest})
        failures += QTest::qExec(make().get(), argc, argv);
    return failures;
}
