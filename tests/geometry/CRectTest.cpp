#include "AppError.h"
#include "Fakes.h"
#include "GeometryTest.h"

// One operation with up to two arguments on a starting rectangle.
void GeometryTest::rectOperations_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<CRect>("start");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<CRect>("expected");

    QTest::newRow("width written keeps left") << "SetWidth" << R(100, 0, 150, 0) << 300 << 0 << R(100, 0, 400, 0);
    QTest::newRow("negative height keeps top") << "SetHeight" << R(0, 50, 0, 80) << -20 << 0 << R(0, 50, 0, 30);
    QTest::newRow("inflate translates") << "Inflate" << R(0, 0, 100, 50) << 10 << -5 << R(10, -5, 110, 45);
    QTest::newRow("move keeps size") << "MoveTo" << R(10, 20, 110, 70) << 0 << 0 << R(0, 0, 100, 50);
    QTest::newRow("normalize both axes") << "Normalize" << R(100, 80, 20, 10) << 0 << 0 << R(20, 10, 100, 80);
    QTest::newRow("normalize empty") << "Normalize" << R(5, 5, 5, 5) << 0 << 0 << R(5, 5, 5, 5);
}

void GeometryTest::rectOperations()
{
    QFETCH(QString, op);
    QFETCH(CRect, start);
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(CRect, expected);

    CRect rc = start;
    if (op == "SetWidth")
        rc.SetWidth(a);
    else if (op == "SetHeight")
        rc.SetHeight(a);
    else if (op == "Inflate")
        rc.Inflate(a, b);
    else if (op == "MoveTo")
        rc.MoveTo(a, b);
    else if (op == "Normalize")
        rc.Normalize();
    QCOMPARE(rc, expected);
}

void GeometryTest::controlRectRounding_data()
{
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("width");
    QTest::addColumn<CRect>("expected");
    QTest::addColumn<bool>("overflows");

    QTest::newRow("half to even below") << 2160.5 << 100.0 << R(2160, 7, 2260, 17) << false;
    QTest::newRow("half to even above") << 2161.5 << 100.0 << R(2162, 7, 2262, 17) << false;
    QTest::newRow("width rounded on its own") << -2.5 << 2.5 << R(-2, 7, 0, 17) << false;
    QTest::newRow("beyond 32 bits") << 3e9 << 1.0 << R(1, 2, 3, 4) << true;
}

void GeometryTest::controlRectRounding()
{
    QFETCH(double, left);
    QFETCH(double, width);
    QFETCH(CRect, expected);
    QFETCH(bool, overflows);

    FakeControl ctrl;
    ctrl.left = left;
    ctrl.top = 7;
    ctrl.width = width;
    ctrl.height = 10;
    CRect rc = R(1, 2, 3, 4);
    try {
        rc.GetControlRect(ctrl);
        QVERIFY(!overflows);
    } catch (const AppError& e) {
        QVERIFY(overflows);
        QCOMPARE(e.Number(), ErrNo::Overflow);
    }
    QCOMPARE(rc, expected);
}

void GeometryTest::formAndControlTransfer()
{
    // Right and Bottom are the scale size itself, not origin plus size.
    FakeForm frm;
    frm.left = 100;
    frm.top = 200;
    frm.width = 11880;
    frm.height = 8310.5;
    CRect rc;
    rc.GetFormRect(frm);
    QCOMPARE(rc, R(100, 200, 11880, 8310));

    FakeControl ctrl;
    ctrl.left = 2160.5;
    ctrl.width = 100;
    ctrl.height = 50;
    rc.MoveControlTo(ctrl, 300, 400);
    QCOMPARE(ctrl.writes, QStringList({ "Left=300", "Top=400", "Width=100", "Height=50" }));
    QCOMPARE(rc, R(300, 400, 400, 450));
}

void GeometryTest::reposition_data()
{
    QTest::addColumn<int>("pos");
    QTest::addColumn<CRect>("outer");
    QTest::addColumn<CRect>("start");
    QTest::addColumn<CRect>("expected");

    const CRect box = R(100, 100, 200, 200);
    const CRect small = R(3, 4, 53, 34); // 50 x 30
    QTest::newRow("top-left") << 1 << box << small << R(100, 100, 150, 130);
    QTest::newRow("top-right") << 2 << box << small << R(150, 100, 200, 130);
    QTest::newRow("bottom-left") << 3 << box << small << R(100, 170, 150, 200);
    QTest::newRow("bottom-right") << 4 << box << small << R(150, 170, 200, 200);
    QTest::newRow("centre") << 5 << box << small << R(125, 135, 175, 165);
    QTest::newRow("centre tie 45.5 to 46") << 5 << R(0, 0, 101, 100) << R(7, 7, 17, 17) << R(46, 45, 56, 55);
    QTest::newRow("centre tie 44.5 to 44") << 5 << R(0, 0, 99, 100) << R(7, 7, 17, 17) << R(44, 45, 54, 55);
    QTest::newRow("centre tie after origin") << 5 << R(1, 1, 8, 8) << R(0, 0, 4, 4) << R(2, 2, 6, 6);
    QTest::newRow("larger overhangs both sides") << 5 << R(0, 0, 10, 10) << R(0, 0, 21, 14) << R(-6, -2, 15, 12);
    QTest::newRow("larger overhangs away from anchor") << 4 << R(0, 0, 10, 10) << R(0, 0, 20, 20) << R(-10, -10, 10, 10);
    QTest::newRow("pos 0 stays") << 0 << box << small << small;
    QTest::newRow("pos 6 stays") << 6 << box << small << small;
}

void GeometryTest::reposition()
{
    QFETCH(int, pos);
    QFETCH(CRect, outer);
    QFETCH(CRect, start);
    QFETCH(CRect, expected);
    CRect rc = start;
    rc.Reposition(pos, outer);
    QCOMPARE(rc, expected);
}
