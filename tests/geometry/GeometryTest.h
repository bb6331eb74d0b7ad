#pragma once
#include "CRect.h"

#include <QObject>
#include <QString>
#include <QTest>

inline CRect R(int32_t l, int32_t t, int32_t r, int32_t b)
{
    CRect rc;
    rc.SetRect(l, t, r, b);
    return rc;
}

inline char* toString(const CRect& r)
{
    return QTest::toString(QStringLiteral("(%1, %2, %3, %4)").arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom));
}

Q_DECLARE_METATYPE(CRect)

class GeometryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // CRect
    void rectOperations_data();
    void rectOperations();
    void controlRectRounding_data();
    void controlRectRounding();
    void formAndControlTransfer();
    void reposition_data();
    void reposition();

    // Picture fitting
    void fitRect_data();
    void fitRect();
    void fitPictureConvertsEachAxisWithItsOwnScale_data();
    void fitPictureConvertsEachAxisWithItsOwnScale();

    // CSplitter over a recording host
    void placement_data();
    void placement();
    void dragToNewFraction();
    void hitTestIsStrict_data();
    void hitTestIsStrict();
    void pointerStateMachine();
    void clipControlsRefused();
    void releaseIsClamped_data();
    void releaseIsClamped();
    void edgeAndShadow();

    // QtSplitterHost offscreen
    void hostInvertsLinesOverControls();
    void hostCaptureAndCursorBalance();
    void hostPaintsRaisedEdge();
};
