// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

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
    void pictureMadeOnFirstRead_data();
    void pictureMadeOnFirstRead();
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

void tst_RUVBMPMerker::pictureMadeOnFirstRead_data()
{
    QTest::addColumn<QString>("read"); // how the picture is first asked for
    QTest::newRow("Bitmap") << "Bitmap";
    QTest::newRow("Bitmap of a const holder") << "const";
    QTest::newRow("the Bitmap property") << "property";
    QTest::newRow("replaced before any read") << "replaced";
}

// The size is known at once, the picture is drawn on its first read and only
// then, and a picture given later replaces one still to be drawn.
void tst_RUVBMPMerker::pictureMadeOnFirstRead()
{
    QFETCH(QString, read);
    TRUVBMPMerker holder;
    int made = 0;
    holder.setBitmapSource(QSize(470, 270), [&made] {
        ++made;
        QImage picture(470, 270, QImage::Format_RGB32);
        picture.fill(Qt::green);
        return picture;
    });
    holder.setBMPWidth(1);
    holder.setBMPHeight(1);
    QCOMPARE(holder.BMPWidth(), 470);
    QCOMPARE(holder.BMPHeight(), 270);
    QCOMPARE(made, 0);

    QImage seen;
    if (read == QLatin1String("Bitmap")) {
        seen = *holder.Bitmap();
    } else if (read == QLatin1String("const")) {
        seen = *std::as_const(holder).Bitmap();
    } else if (read == QLatin1String("property")) {
        seen = holder.property("Bitmap").value<QImage>();
    } else {
        holder.setBitmap(QImage(4, 3, QImage::Format_RGB32));
        seen = *holder.Bitmap();
        QCOMPARE(made, 0);
        QCOMPARE(seen.size(), QSize(4, 3));
        QCOMPARE(holder.BMPWidth(), 4);
        return;
    }
    QCOMPARE(made, 1);
    QCOMPARE(seen.pixelColor(469, 269), QColor(Qt::green));
    holder.Bitmap();
    QCOMPARE(made, 1);
    QCOMPARE(holder.Bitmap()->size(), QSize(470, 270));
}

TIRASO_TEST_MAIN(tst_RUVBMPMerker)
#include "tst_RUVBMPMerker.moc"
