#include "controls/RUVBMPMerker.h"

#include "tests/TestSupport.h"

class tst_RUVBMPMerker : public QObject
{
    Q_OBJECT
private slots:
    void newHolderIsEmpty();
    void sizeMirrorsThePicture_data();
    void sizeMirrorsThePicture();
    void holdsACopy();
};

void tst_RUVBMPMerker::newHolderIsEmpty()
{
    TRUVBMPMerker holder;
    QVERIFY(holder.Bitmap());
    QVERIFY(holder.Bitmap()->isNull());
    QCOMPARE(holder.BMPWidth(), 0);
    QCOMPARE(holder.BMPHeight(), 0);
    QCOMPARE(holder.Transparent(), false);
}

void tst_RUVBMPMerker::sizeMirrorsThePicture_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("background picture") << QSize(470, 270);
    QTest::newRow("one pixel") << QSize(1, 1);
    QTest::newRow("empty picture") << QSize(0, 0);
}

void tst_RUVBMPMerker::sizeMirrorsThePicture()
{
    QFETCH(QSize, size);
    TRUVBMPMerker holder;
    holder.setBitmap(QImage(33, 44, QImage::Format_RGB32)); // a previous picture
    holder.setBitmap(QImage(size, QImage::Format_RGB32));
    QCOMPARE(holder.Bitmap()->size(), size);
    QCOMPARE(holder.BMPWidth(), size.width());
    QCOMPARE(holder.BMPHeight(), size.height());

    // Values from a window description are not applied, only refreshed.
    holder.setBMPWidth(100);
    holder.setBMPHeight(-7);
    QCOMPARE(holder.BMPWidth(), size.width());
    QCOMPARE(holder.BMPHeight(), size.height());

    // A picture changed in place is mirrored only when the size is written.
    *holder.Bitmap() = QImage(10, 20, QImage::Format_RGB32);
    QCOMPARE(holder.BMPWidth(), size.width());
    holder.setBMPWidth(0);
    QCOMPARE(holder.BMPWidth(), 10);
    QCOMPARE(holder.BMPHeight(), size.height());
    holder.setBMPHeight(0);
    QCOMPARE(holder.BMPHeight(), 20);
}

void tst_RUVBMPMerker::holdsACopy()
{
    TRUVBMPMerker holder;
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(Qt::red);
    holder.setBitmap(picture);
    picture.fill(Qt::blue);
    picture = picture.scaled(8, 8);
    QCOMPARE(holder.Bitmap()->pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(holder.BMPWidth(), 4);

    // Readers get the held picture itself, so drawing it costs no copy.
    QImage* held = holder.Bitmap();
    holder.setBitmap(picture);
    QCOMPARE(holder.Bitmap(), held);
    QCOMPARE(held->size(), QSize(8, 8));

    holder.setTransparent(true);
    QCOMPARE(holder.Transparent(), true);
    QCOMPARE(holder.property("Transparent").toBool(), true);
    QCOMPARE(holder.property("Bitmap").value<QImage>().size(), QSize(8, 8));
}

TIRASO_TEST_MAIN(tst_RUVBMPMerker)
#include "tst_RUVBMPMerker.moc"
