#include "about/FoodPicture.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace gustara {

namespace {

constexpr int kSize = 76;
const QPointF kCentre(38, 39);

void DrawTable(QPainter& painter)
{
    QRadialGradient warm(QPointF(30, 26), 60);
    warm.setColorAt(0, QColor(250, 214, 160));
    warm.setColorAt(1, QColor(222, 132, 72));
    painter.fillRect(QRectF(0, 0, kSize, kSize), warm);
}

void DrawBowl(QPainter& painter)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(120, 60, 30, 90));
    painter.drawEllipse(kCentre + QPointF(2, 3), 34, 34);

    QRadialGradient lacquer(kCentre + QPointF(-8, -8), 40);
    lacquer.setColorAt(0, QColor(214, 52, 40));
    lacquer.setColorAt(1, QColor(140, 24, 20));
    painter.setBrush(lacquer);
    painter.drawEllipse(kCentre, 34, 34);
    painter.setBrush(QColor(36, 20, 16));
    painter.drawEllipse(kCentre, 29.5, 29.5);

    QRadialGradient broth(kCentre + QPointF(-6, -6), 32);
    broth.setColorAt(0, QColor(250, 200, 110));
    broth.setColorAt(1, QColor(214, 140, 56));
    painter.setBrush(broth);
    painter.drawEllipse(kCentre, 28, 28);
}

// Wavy strands across the lower half of the broth.
void DrawNoodles(QPainter& painter)
{
    painter.save();
    QPainterPath bowlInside;
    bowlInside.addEllipse(kCentre, 27, 27);
    painter.setClipPath(bowlInside);
    painter.setBrush(Qt::NoBrush);
    for (int strand = 0; strand < 6; ++strand) {
        QPainterPath path;
        double y = 44 + strand * 3.4;
        path.moveTo(8, y);
        for (double x = 8; x <= 68; x += 1)
            path.lineTo(x, y + 1.6 * std::sin(x * 0.55 + strand * 1.3));
        painter.setPen(QPen(QColor(255, 236, 150), 2.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawPath(path);
        painter.setPen(QPen(QColor(214, 170, 70), 0.6));
        painter.drawPath(path.translated(0, 1.1));
    }
    painter.restore();
}

void DrawNori(QPainter& painter)
{
    painter.save();
    painter.translate(20, 26);
    painter.rotate(-18);
    painter.setPen(QPen(QColor(14, 30, 18), 0.8));
    painter.setBrush(QColor(28, 52, 34));
    painter.drawRect(QRectF(-7, -12, 13, 22));
    painter.setPen(QPen(QColor(60, 90, 64), 0.6));
    painter.drawLine(QPointF(-4, -10), QPointF(-4, 8));
    painter.restore();
}

// A slice of braised pork: browned edge, pale meat, a streak of fat.
void DrawChashu(QPainter& painter)
{
    QRadialGradient meat(QPointF(49, 27), 9);
    meat.setColorAt(0, QColor(236, 188, 160));
    meat.setColorAt(0.75, QColor(214, 150, 116));
    meat.setColorAt(1, QColor(150, 78, 44));
    painter.setPen(QPen(QColor(110, 50, 26), 1.0));
    painter.setBrush(meat);
    painter.drawEllipse(QPointF(50, 28), 9.5, 8.5);
    painter.setPen(QPen(QColor(250, 228, 210), 1.1, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(44, 23, 12, 10), 40 * 16, 200 * 16);
}

// Two strips of bamboo shoot.
void DrawMenma(QPainter& painter)
{
    painter.setPen(QPen(QColor(150, 100, 40), 0.7));
    painter.setBrush(QColor(222, 176, 96));
    for (const QPointF& strip : {QPointF(44, 60), QPointF(49, 57)}) {
        painter.save();
        painter.translate(strip);
        painter.rotate(-35);
        painter.drawRoundedRect(QRectF(-5, -1.5, 10, 3), 1, 1);
        painter.restore();
    }
}

// A soft-boiled egg cut in half.
void DrawEgg(QPainter& painter)
{
    painter.save();
    painter.translate(34, 40);
    painter.rotate(20);
    painter.setPen(QPen(QColor(200, 180, 150), 0.6));
    painter.setBrush(QColor(255, 252, 240));
    painter.drawEllipse(QPointF(0, 0), 8.5, 6.5);
    QRadialGradient yolk(QPointF(-1, -1), 5);
    yolk.setColorAt(0, QColor(255, 170, 40));
    yolk.setColorAt(1, QColor(232, 110, 20));
    painter.setPen(Qt::NoPen);
    painter.setBrush(yolk);
    painter.drawEllipse(QPointF(0.5, 0), 4.5, 3.8);
    painter.restore();
}

// A fish-cake slice with its pink spiral.
void DrawNaruto(QPainter& painter)
{
    const QPointF centre(52, 46);
    painter.setPen(QPen(QColor(210, 200, 200), 0.6));
    painter.setBrush(QColor(255, 250, 250));
    painter.drawEllipse(centre, 6, 6);
    QPainterPath spiral;
    for (double t = 0; t <= 3 * std::numbers::pi; t += 0.2) {
        double r = 0.9 * t / 1.5;
        QPointF point = centre + QPointF(r * std::cos(t), r * std::sin(t));
        if (t == 0)
            spiral.moveTo(point);
        else
            spiral.lineTo(point);
    }
    painter.setPen(QPen(QColor(236, 80, 130), 1.2, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(spiral);
}

void DrawSpringOnion(QPainter& painter)
{
    const QPointF rings[] = {{28, 53}, {33, 57}, {24, 47}, {40, 31}, {35, 24}, {60, 37}, {58, 55}};
    for (const QPointF& ring : rings) {
        painter.setPen(QPen(QColor(70, 150, 50), 1.1));
        painter.setBrush(QColor(190, 230, 140));
        painter.drawEllipse(ring, 2.0, 1.8);
    }
}

void DrawSheen(QPainter& painter)
{
    painter.setPen(QPen(QColor(255, 255, 255, 120), 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(kCentre.x() - 32, kCentre.y() - 32, 64, 64), 100 * 16, 60 * 16);
}

} // namespace

QImage MakeFoodPicture()
{
    QImage canvas(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        DrawTable(painter);
        DrawBowl(painter);
        DrawNoodles(painter);
        DrawNori(painter);
        DrawChashu(painter);
        DrawMenma(painter);
        DrawEgg(painter);
        DrawNaruto(painter);
        DrawSpringOnion(painter);
        DrawSheen(painter);
    }
    return canvas.convertToFormat(QImage::Format_RGB888);
}

} // namespace gustara
