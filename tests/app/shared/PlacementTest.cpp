#include "shared/Placement.h"

#include <QTest>

// A screen of 1366 x 768 at a scale of 1.5 without a 32-pixel panel at its top, as the window sees it.
static const QRect kArea(0, 21, 910, 491);

class PlacementTest : public QObject {
    Q_OBJECT

private slots:
    void keptWithinMovesAsLittleAsItTakes_data();
    void keptWithinMovesAsLittleAsItTakes();
    void besideWithinTakesTheFirstSideWithRoom_data();
    void besideWithinTakesTheFirstSideWithRoom();
};

void PlacementTest::keptWithinMovesAsLittleAsItTakes_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QPoint>("kept");
    QTest::newRow("inside stays") << QRect(100, 100, 400, 300) << QPoint(100, 100);
    QTest::newRow("widened past the right edge") << QRect(226, 100, 760, 330) << QPoint(150, 100);
    QTest::newRow("below and left of the area") << QRect(-40, 400, 300, 200) << QPoint(0, 312);
    QTest::newRow("larger than the area: top-left in it") << QRect(50, 50, 1000, 600) << QPoint(0, 21);
}

void PlacementTest::keptWithinMovesAsLittleAsItTakes()
{
    QFETCH(QRect, frame);
    QFETCH(QPoint, kept);
    QCOMPARE(gustara::KeptWithin(frame, kArea), kept);
}

void PlacementTest::besideWithinTakesTheFirstSideWithRoom_data()
{
    QTest::addColumn<QRect>("neighbour");
    QTest::addColumn<QRect>("placed");
    QTest::newRow("right") << QRect(100, 100, 395, 110) << QRect(503, 100, 300, 200);
    QTest::newRow("left") << QRect(400, 100, 395, 110) << QRect(92, 100, 300, 200);
    QTest::newRow("below") << QRect(257, 40, 395, 110) << QRect(257, 158, 300, 200);
    QTest::newRow("above") << QRect(257, 300, 395, 110) << QRect(257, 92, 300, 200);
    // Nowhere whole: the side that shows the most, cut to its room.
    QTest::newRow("cut below") << QRect(257, 160, 395, 170) << QRect(257, 338, 300, 174);
    QTest::newRow("cut on the right") << QRect(257, 100, 395, 300) << QRect(660, 100, 250, 200);
}

void PlacementTest::besideWithinTakesTheFirstSideWithRoom()
{
    QFETCH(QRect, neighbour);
    QFETCH(QRect, placed);
    const QRect result = gustara::BesideWithin(neighbour, QSize(300, 200), QSize(120, 80), kArea, 8);
    QCOMPARE(result, placed);
    QVERIFY(kArea.contains(result));
    QVERIFY(!result.intersects(neighbour));
}

QTEST_MAIN(PlacementTest)
#include "PlacementTest.moc"
