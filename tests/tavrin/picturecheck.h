#pragma once

// What the screen shows of a widget, and measures of the picture the engine
// drew there: the tests that run the real engine read its picture back.
#include <QImage>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QWidget>
#include <cmath>

// The widget's place on the screen.
inline QImage shotOf(QWidget *w)
{
    const QPoint origin = w->mapToGlobal(QPoint(0, 0));
    return w->screen()->grabWindow(0, origin.x(), origin.y(), w->width(), w->height()).toImage();
}

// The pixels of the widget's own X window, read from that window: what was
// drawn into it. A window that is gone gives an empty image.
inline QImage windowPixels(QWidget *w)
{
    return w->screen()->grabWindow(w->winId()).toImage();
}

struct PictureMeasures
{
    double mean = 0;          // grey level, 0 to 255
    double spread = 0;        // standard deviation of the grey level
    double colourfulness = 0; // mean of the largest minus the smallest of R, G, B
    int colours = 0;          // distinct colours on a grid of every 4th pixel
};

inline PictureMeasures measure(const QImage &image)
{
    PictureMeasures m;
    double sum = 0, squares = 0, colour = 0;
    int count = 0;
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            const QRgb p = image.pixel(x, y);
            const int r = qRed(p), g = qGreen(p), b = qBlue(p);
            const double grey = qGray(p);
            sum += grey;
            squares += grey * grey;
            colour += qMax(r, qMax(g, b)) - qMin(r, qMin(g, b));
            if (x % 4 == 0 && y % 4 == 0)
                colours.insert(p & 0xffffff);
            ++count;
        }
    }
    if (count == 0)
        return m;
    m.mean = sum / count;
    m.spread = std::sqrt(qMax(0.0, squares / count - m.mean * m.mean));
    m.colourfulness = colour / count;
    m.colours = int(colours.size());
    return m;
}

// How far the colours of two pictures of the same size lie apart: the mean,
// over the pixels, of the mean difference of R, G and B (0 to 255).
inline double colourDistance(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return 0;
    double sum = 0;
    int count = 0;
    for (int y = 0; y < a.height(); y += 2) {
        for (int x = 0; x < a.width(); x += 2) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += (qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) +
                    qAbs(qBlue(p) - qBlue(q))) /
                   3.0;
            ++count;
        }
    }
    return sum / count;
}

// A picture, not an empty window: the test pattern's many colours where an
// empty window has one.
inline bool pictureDrawn(const QImage &image)
{
    return measure(image).colours > 20;
}

// Whether the engine draws into the widget now: the screen there shows the
// test picture's many colours, and its frame counter moves. (A picture left
// on the screen by an engine that stopped drawing would stand still.)
inline bool pictureMoves(QWidget *w)
{
    const QImage before = shotOf(w);
    QTest::qWait(300);
    const QImage shot = shotOf(w);
    return shot != before && pictureDrawn(shot);
}
