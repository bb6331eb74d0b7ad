#include "AppError.h"
#include "CSplitter.h"
#include "Fakes.h"
#include "GeometryTest.h"

namespace {

// A splitter set up over a recording host, with every SplitRect fraction collected.
// Fractions are compared as doubles: a float QCOMPARE is fuzzy and would pass a
// neighbouring 32-bit value.
struct Rig {
    RecordingHost host;
    CSplitter splitter;
    QList<float> fractions;

    Rig(int type, const CRect& area, float perc = 0.5f)
    {
        QObject::connect(&splitter, &CSplitter::SplitRect, [this](float p) { fractions << p; });
        splitter.Init(host, area, perc, type);
    }
    CRect pane(int16_t what) const
    {
        CRect rc = R(1, 2, 3, 4);
        splitter.GetRect(what, rc);
        return rc;
    }
    // Hover at `from`, press, move to `to` and release there.
    void drag(float fromX, float fromY, float toX, float toY)
    {
        splitter.MouseMove(fromX, fromY);
        splitter.MouseDown();
        splitter.MouseMove(toX, toY);
        splitter.MouseUp(toX, toY);
    }
};

const CRect Design = R(0, 0, 11880, 8310);
const QStringList Hover = { "SetCapture", "Pointer 103" };
const QStringList Leave = { "Pointer default", "ReleaseCapture" };

QStringList dragLine(int x)
{
    return { "DrawStyle 0", "DrawWidth 3", "DrawMode 14", QStringLiteral("Line %1,0-%1,8310 #000000").arg(x), "DrawMode 11" };
}

}

void GeometryTest::placement_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<CRect>("area");
    QTest::addColumn<float>("perc");
    QTest::addColumn<CRect>("bar");
    QTest::addColumn<CRect>("pane1");
    QTest::addColumn<CRect>("pane2");

    const CRect untouched = R(1, 2, 3, 4);
    QTest::newRow("vertical, design size") << 1 << Design << 0.5f
        << R(5900, 0, 5980, 8310) << R(0, 0, 5900, 8310) << R(5980, 0, 11880, 8310);
    QTest::newRow("horizontal, left pane") << 2 << R(0, 0, 5900, 8310) << 0.5f
        << R(0, 4115, 5900, 4195) << R(0, 0, 5900, 4115) << R(0, 4195, 5900, 8310);
    QTest::newRow("floor below zero") << 1 << R(0, 0, 25, 100) << 0.5f
        << R(-28, 0, 52, 100) << R(0, 0, -28, 100) << R(52, 0, 25, 100);
    QTest::newRow("horizontal bar as wide as Right") << 2 << R(100, 0, 600, 1000) << 0.25f
        << R(100, 210, 700, 290) << R(100, 0, 600, 210) << R(100, 290, 600, 1000);
    QTest::newRow("no type: horizontal bar, no panes") << 0 << R(0, 0, 5900, 8310) << 0.5f
        << R(0, 4115, 5900, 4195) << untouched << untouched;
}

void GeometryTest::placement()
{
    QFETCH(int, type);
    QFETCH(CRect, area);
    QFETCH(float, perc);
    QFETCH(CRect, bar);
    QFETCH(CRect, pane1);
    QFETCH(CRect, pane2);

    Rig rig(type, area, perc);
    QCOMPARE(rig.splitter.BarRect(), bar);
    QCOMPARE(rig.pane(1), pane1);
    QCOMPARE(rig.pane(2), pane2);
    QCOMPARE(rig.pane(0), R(1, 2, 3, 4));
    QCOMPARE(rig.pane(3), R(1, 2, 3, 4));
    QCOMPARE(rig.fractions, QList<float>{ perc });

    FakeControl ctrl;
    rig.splitter.ResizeFrame(3, ctrl);
    QCOMPARE(ctrl.writes, QStringList({ "Left=0", "Top=0", "Width=0", "Height=0" }));
}

void GeometryTest::dragToNewFraction()
{
    Rig rig(1, Design);
    rig.drag(5940, 100, 3000, 100);
    QCOMPARE(double(rig.fractions.last()), double(0.25252524f));
    QCOMPARE(rig.splitter.BarRect(), R(3000, 0, 3080, 8310));

    // The 32-bit fraction times the width falls just below 2960.
    rig.splitter.Resize(Design);
    QCOMPARE(rig.splitter.BarRect(), R(2959, 0, 3039, 8310));
    QCOMPARE(rig.fractions.size(), 3);
}

void GeometryTest::hitTestIsStrict_data()
{
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<bool>("over");
    QTest::newRow("left edge") << 5900.0f << 100.0f << false;
    QTest::newRow("right edge") << 5980.0f << 100.0f << false;
    QTest::newRow("inside left edge") << 5901.0f << 100.0f << true;
    QTest::newRow("fraction past left edge") << 5900.5f << 1.0f << true;
    QTest::newRow("top edge") << 5901.0f << 0.0f << false;
    QTest::newRow("bottom edge") << 5901.0f << 8310.0f << false;
    QTest::newRow("inside bottom edge") << 5979.5f << 8309.5f << true;
}

void GeometryTest::hitTestIsStrict()
{
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(bool, over);
    Rig rig(1, Design);
    rig.splitter.MouseMove(x, y);
    QCOMPARE(rig.host.take(), over ? Hover : QStringList());
}

void GeometryTest::pointerStateMachine()
{
    Rig rig(1, Design);
    // Idle: a press and release starts nothing.
    rig.splitter.MouseDown();
    rig.splitter.MouseMove(3000, 100);
    rig.splitter.MouseUp(3000, 100);
    QVERIFY(rig.host.calls.isEmpty());
    QCOMPARE(rig.fractions.size(), 1);

    rig.splitter.MouseMove(5940, 100);
    rig.splitter.MouseDown();
    QCOMPARE(rig.host.take(), Hover);
    // Leaving the bar while dragging keeps capture and cursor; the first line erases nothing.
    rig.splitter.MouseMove(4000.6f, 100);
    QCOMPARE(rig.host.take(), dragLine(4000));
    // Back over the bar: capture and cursor are taken again.
    rig.splitter.MouseMove(5950, 100);
    QCOMPARE(rig.host.take(), Hover + dragLine(4000) + dragLine(5950));
    rig.splitter.MouseMove(3000, 7000);
    QCOMPARE(rig.host.take(), dragLine(5950) + dragLine(3000));
    // Released away from the bar: line erased, pointer and capture given back.
    rig.splitter.MouseUp(3000, 7000);
    QCOMPARE(rig.host.take(), dragLine(3000) + Leave);
    QCOMPARE(double(rig.fractions.last()), double(0.25252524f));

    // Released over the bar's old place: capture and cursor stay until the pointer leaves.
    rig.splitter.MouseMove(3040, 100);
    rig.splitter.MouseDown();
    rig.splitter.MouseMove(3050, 100);
    rig.splitter.MouseUp(3050, 100);
    QCOMPARE(rig.host.take(), Hover + dragLine(3050) + dragLine(3050));
    QCOMPARE(rig.splitter.BarRect(), R(3050, 0, 3130, 8310));
    rig.splitter.MouseMove(3100, 100);
    QVERIFY(rig.host.calls.isEmpty());

    // A click without a move still erases "the" line, at 0.
    rig.splitter.MouseDown();
    rig.splitter.MouseUp(3100, 100);
    QCOMPARE(rig.host.take(), dragLine(0));
    rig.splitter.MouseMove(100, 100);
    QCOMPARE(rig.host.take(), Leave);
}

void GeometryTest::clipControlsRefused()
{
    RecordingHost host;
    host.clip = true;
    CSplitter splitter;
    int raised = 0;
    QObject::connect(&splitter, &CSplitter::SplitRect, [&raised](float) { ++raised; });
    try {
        splitter.Init(host, Design, 0.5f, 1);
        QFAIL("Init accepted a host that clips its controls");
    } catch (const AppError& e) {
        QCOMPARE(e.Number(), -2147221504);
        QCOMPARE(e.Source(), QStringLiteral("CSplitter.CSplitter"));
        QCOMPARE(e.Description(), QStringLiteral("frmFileDir.ClipControl should be False."));
    }
    QCOMPARE(raised, 0);
    QCOMPARE(splitter.BarRect(), CRect());
    // Type and fraction were kept: a later Resize places the bar.
    splitter.Resize(Design);
    QCOMPARE(splitter.BarRect(), R(5900, 0, 5980, 8310));
}

void GeometryTest::releaseIsClamped_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<float>("release");
    QTest::addColumn<float>("perc");
    QTest::addColumn<CRect>("bar");

    QTest::newRow("left of the area") << 1 << -500.0f << 0.0f << R(0, 0, 80, 8310);
    QTest::newRow("right of the area") << 1 << 20000.0f << static_cast<float>(11800.0 / 11880) << R(11800, 0, 11880, 8310);
    QTest::newRow("above the area") << 2 << -1.0f << 0.0f << R(0, 0, 11880, 80);
    QTest::newRow("below the area") << 2 << 9000.0f << static_cast<float>(8230.0 / 8310) << R(0, 8230, 11880, 8310);
}

void GeometryTest::releaseIsClamped()
{
    QFETCH(int, type);
    QFETCH(float, release);
    QFETCH(float, perc);
    QFETCH(CRect, bar);

    Rig rig(type, Design);
    if (type == 1)
        rig.drag(5940, 100, release, 100);
    else
        rig.drag(100, 4155, 100, release);
    QCOMPARE(rig.host.calls.mid(0, 2), QStringList({ "SetCapture", type == 1 ? "Pointer 103" : "Pointer 102" }));
    QCOMPARE(double(rig.fractions.last()), double(perc));
    QCOMPARE(rig.splitter.BarRect(), bar);
    QVERIFY(rig.pane(1).Width() >= 0 && rig.pane(1).Height() >= 0);
    QVERIFY(rig.pane(2).Width() >= 0 && rig.pane(2).Height() >= 0);

    // An area that lost its extent during the drag has no fraction to give: the old one stays.
    rig.splitter.MouseMove(bar.Left + 1, bar.Top + 1);
    rig.splitter.MouseDown();
    rig.splitter.Resize(R(0, 0, 0, 0));
    const CRect collapsed = rig.splitter.BarRect();
    rig.splitter.MouseUp(10, 10);
    QCOMPARE(double(rig.fractions.last()), double(rig.fractions.at(rig.fractions.size() - 2)));
    QCOMPARE(rig.splitter.BarRect(), collapsed);
}

void GeometryTest::edgeAndShadow()
{
    Rig vertical(1, Design);
    vertical.splitter.DEdge(5);
    QCOMPARE(vertical.host.take(), QStringList({ "DrawWidth 1", "DrawMode 13", "Edge 393,0,399,554 5 15",
                                                 "Line 5950,0-5950,8310 #7f7f7f", "Line 5965,0-5965,8310 #000000" }));
    // A horizontal bar gets the same two strokes at its right end.
    Rig horizontal(2, R(0, 0, 5900, 8310));
    horizontal.splitter.DEdge(5);
    QCOMPARE(horizontal.host.take(), QStringList({ "DrawWidth 1", "DrawMode 13", "Edge 0,274,393,280 5 15",
                                                   "Line 5870,4115-5870,4195 #7f7f7f", "Line 5885,4115-5885,4195 #000000" }));
}
