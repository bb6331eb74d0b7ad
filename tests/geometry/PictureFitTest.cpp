#include "Fakes.h"
#include "GeometryTest.h"
#include "PictureFit.h"

void GeometryTest::fitRect_data()
{
    QTest::addColumn<CRect>("target");
    QTest::addColumn<CRect>("pic");
    QTest::addColumn<CRect>("expected");

    // Floor and nearest differ: too wide only floors the height, too wide and too tall rounds it.
    QTest::newRow("4x3 into 2x10: floor 1.5") << R(0, 0, 2, 10) << R(0, 0, 4, 3) << R(0, 4, 2, 5);
    QTest::newRow("4x3 into 2x2: nearest 1.5") << R(0, 0, 2, 2) << R(0, 0, 4, 3) << R(0, 0, 2, 2);
    QTest::newRow("4x3 into 2x1: two passes") << R(0, 0, 2, 1) << R(0, 0, 4, 3) << R(0, 0, 1, 1);
    QTest::newRow("300x200 into 150x150") << R(0, 0, 150, 150) << R(0, 0, 300, 200) << R(0, 25, 150, 125);
    QTest::newRow("100x300 into 200x150") << R(0, 0, 200, 150) << R(0, 0, 100, 300) << R(75, 0, 125, 150);
    // After the first pass 10 x 15 (ratio 1.5); the natural ratio 1.51 gives width 1, not 2.
    QTest::newRow("ratio from natural size") << R(0, 0, 10, 3) << R(0, 0, 100, 151) << R(4, 0, 5, 3);
    QTest::newRow("smaller is never enlarged") << R(10, 20, 110, 120) << R(0, 0, 40, 30) << R(40, 55, 80, 85);
    QTest::newRow("exact size lands on origin") << R(5, 5, 105, 55) << R(0, 0, 100, 50) << R(5, 5, 105, 55);
    QTest::newRow("centre 1.5 to 2") << R(0, 0, 7, 7) << R(0, 0, 4, 4) << R(2, 2, 6, 6);
    QTest::newRow("centre 2.5 to 2") << R(1, 1, 8, 8) << R(0, 0, 4, 4) << R(2, 2, 6, 6);
    QTest::newRow("empty picture untouched") << R(0, 0, 100, 100) << R(3, 4, 3, 10) << R(3, 4, 3, 10);
    QTest::newRow("zero target") << R(10, 10, 10, 10) << R(0, 0, 30, 20) << R(10, 10, 10, 10);
}

void GeometryTest::fitRect()
{
    QFETCH(CRect, target);
    QFETCH(CRect, pic);
    QFETCH(CRect, expected);
    const CRect before = target;
    FitRect(target, pic);
    QCOMPARE(pic, expected);
    QCOMPARE(target, before);
}

void GeometryTest::fitPictureConvertsEachAxisWithItsOwnScale_data()
{
    QTest::addColumn<int>("scaleMode");
    QTest::addColumn<double>("dpiY");
    QTest::addColumn<long>("himetricW");
    QTest::addColumn<long>("himetricH");
    QTest::addColumn<CRect>("target");
    QTest::addColumn<QStringList>("writes");

    // 100 x 50 pixels at 96 DPI are 2646 x 1323 HIMETRIC, 1500 x 750 twips.
    QTest::newRow("twips, fits") << 1 << 96.0 << 2646L << 1323L << R(0, 0, 3000, 3000)
                                 << QStringList({ "Left=750", "Top=1125", "Width=1500", "Height=750" });
    QTest::newRow("pixels, shrunk") << 3 << 96.0 << 2646L << 1323L << R(0, 0, 40, 40)
                                    << QStringList({ "Left=0", "Top=10", "Width=40", "Height=20" });
    QTest::newRow("vertical uses its own DPI") << 3 << 192.0 << 2646L << 1323L << R(0, 0, 200, 200)
                                               << QStringList({ "Left=50", "Top=50", "Width=100", "Height=100" });
    QTest::newRow("no picture") << 1 << 96.0 << 0L << 0L << R(100, 100, 3000, 3000)
                                << QStringList({ "Left=0", "Top=0", "Width=0", "Height=0" });
}

void GeometryTest::fitPictureConvertsEachAxisWithItsOwnScale()
{
    QFETCH(int, scaleMode);
    QFETCH(double, dpiY);
    QFETCH(long, himetricW);
    QFETCH(long, himetricH);
    QFETCH(CRect, target);
    QFETCH(QStringList, writes);

    FakeForm frm;
    frm.dpiY = dpiY;
    FakeControl img;
    img.left = 999;
    img.pictureWidth = himetricW;
    img.pictureHeight = himetricH;
    FitPicture(target, img, frm, scaleMode);
    QCOMPARE(img.writes, writes);
}
