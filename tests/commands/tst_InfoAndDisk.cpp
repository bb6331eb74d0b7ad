// Image Information and the Open Disk items.
#include "Globals.h"
#include "IControlBounds.h"
#include "ImageInformation.h"
#include "MenuTree.h"
#include "OpenDisk.h"
#include "ScriptedDialogs.h"
#include "Units.h"

#include <QAction>
#include <QMenuBar>
#include <QtTest>
#include <climits>
#include <memory>

namespace {
// A form whose conversions use a chosen DPI, as the main window's would on that screen.
struct FixedDpiForm : IScaleForm {
    explicit FixedDpiForm(double dpi) : dpi(dpi) {}
    double ScaleLeft() const override { return 0; }
    double ScaleTop() const override { return 0; }
    double ScaleWidth() const override { return 0; }
    double ScaleHeight() const override { return 0; }
    double ScaleX(double v, int from, int to) const override { return Units::Convert(v, from, to, dpi); }
    double ScaleY(double v, int from, int to) const override { return Units::Convert(v, from, to, dpi); }
    double dpi;
};

// The HIMETRIC size a picture reports for a number of pixels.
double himetric(int pixels, double dpi) { return double(Units::RoundHalfEven(pixels * 2540.0 / dpi)); }

QList<int> visibleDrives(const MenuTree& menus)
{
    QList<int> visible;
    for (int i = 0; i < 26; ++i)
        if (const QAction* item = menus.ArrayItem(QStringLiteral("mnuDisk"), i); item && item->isVisible())
            visible << i;
    return visible;
}
}

class TestInfoAndDisk : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void imageInformation_data();
    void imageInformation();
    void driveItems_data();
    void driveItems();
    void driveItemsNeverHide();
};

void TestInfoAndDisk::imageInformation_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<double>("width");  // HIMETRIC
    QTest::addColumn<double>("height");
    QTest::addColumn<QString>("message");
    const QString file = QStringLiteral("/p/a.jpg");
    QTest::newRow("640 x 480 at 96") << file << 96.0 << himetric(640, 96) << himetric(480, 96) << "Height = 480  Width = 640";
    QTest::newRow("640 x 480 at 120") << file << 120.0 << himetric(640, 120) << himetric(480, 120)
                                      << "Height = 480  Width = 640";
    QTest::newRow("no picture") << file << 96.0 << 0.0 << 0.0 << "Height = 0  Width = 0";
    // At 254 DPI a HIMETRIC unit is a tenth of a pixel, so both roundings show.
    QTest::newRow("pixels: halves to even") << file << 254.0 << 35.0 << 25.0 << "Height = 2  Width = 4";
    QTest::newRow("HIMETRIC: halves to even first") << file << 254.0 << 24.5 << 25.5 << "Height = 3  Width = 2";
    QTest::newRow("no image chosen") << "" << 96.0 << 100.0 << 100.0 << "You must select an image !";
}

void TestInfoAndDisk::imageInformation()
{
    QFETCH(QString, file);
    QFETCH(double, dpi);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(QString, message);
    ScriptedDialogs dialogs;
    Globals globals(dialogs);
    FixedDpiForm form(dpi);
    ImageInformation(globals, form).mnuImgInfo_Click(file, width, height);
    QCOMPARE(dialogs.calls().size(), 1);
    QCOMPARE(dialogs.calls()[0].text, message);
    // The error box has its icon and title; the answer has neither, so the program's title shows.
    QCOMPARE(dialogs.calls()[0].style, file.isEmpty() ? 48 : 0);
    QCOMPARE(dialogs.calls()[0].title, file.isEmpty() ? QStringLiteral("Images Browser and Viewer") : QString());
}

void TestInfoAndDisk::driveItems_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<QList<int>>("visible");
    QTest::newRow("A, C and D") << 0b1101 << QList<int>{0, 2, 3};
    QTest::newRow("A to F") << 0b111111 << QList<int>{0, 2, 3, 4, 5};
    QTest::newRow("B only") << 0b10 << QList<int>{2};
    QTest::newRow("G and Z") << ((1 << 6) | (1 << 25)) << QList<int>{2};
    QTest::newRow("none") << 0 << QList<int>{2};
    QTest::newRow("top bit makes it negative") << int(INT_MIN | 0b111001) << QList<int>{2};
}

void TestInfoAndDisk::driveItems()
{
    QFETCH(int, mask);
    QFETCH(QList<int>, visible);
    QMenuBar bar;
    MenuTree menus(&bar);
    OpenDisk::UpdateDriveItems(menus, mask);
    QCOMPARE(visibleDrives(menus), visible);
}

void TestInfoAndDisk::driveItemsNeverHide()
{
    QMenuBar bar;
    MenuTree menus(&bar);
    for (int mask : {0b110001, 0b1000, 0})
        OpenDisk::UpdateDriveItems(menus, mask);
    QCOMPARE(visibleDrives(menus), QList<int>({0, 2, 3, 4, 5}));

    QStringList folders;
    for (int index : {0, 2, 5})
        OpenDisk::mnuDisk_Click(index, [&](const QString& sPath) { folders << sPath; });
    QCOMPARE(folders, QStringList({"A:\\", "C:\\", "F:\\"}));
}

std::unique_ptr<QObject> newInfoAndDiskTest() { return std::make_unique<TestInfoAndDisk>(); }
#include "tst_InfoAndDisk.moc"
