#include "shared/AppIcon.h"

#include <QTest>

class AppIconTest : public QObject {
    Q_OBJECT

private slots:
    void iconIsDrawnAtEverySizeItOffers();
};

void AppIconTest::iconIsDrawnAtEverySizeItOffers()
{
    const QIcon icon = gustara::MakeAppIcon();
    const QList<QSize> sizes = icon.availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(256, 256)));
    for (const QSize& size : sizes) {
        const QImage picture = icon.pixmap(size).toImage();
        QCOMPARE(picture.size(), size);
        // Transparent corners outside the rounded tile, an opaque middle.
        QCOMPARE(qAlpha(picture.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(picture.pixel(size.width() / 2, size.height() / 2)), 255);
    }
}

QTEST_MAIN(AppIconTest)
#include "AppIconTest.moc"
