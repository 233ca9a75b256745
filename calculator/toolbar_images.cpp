#include "calculator/toolbar_images.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>
#include <cmath>
#include <numbers>

namespace calculator {

namespace {

// The four colours a picture is drawn with; the greyed image draws the same
// strokes with greys instead.
struct Ink {
    QColor line;   // outlines and strokes
    QColor body;   // the main filled shape
    QColor accent; // the second colour
    QColor light;  // marks drawn on top of the body
};

using DrawFn = void (*)(QPainter&, const Ink&);

QPen Stroke(const QColor& colour, double width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Number Formatter: "0x" between brackets.
void DrawFormatter(QPainter& p, const Ink& ink) {
    p.setBrush(Qt::NoBrush);
    p.setPen(Stroke(ink.accent, 2.0));
    p.drawPolyline(QPolygonF({{6.5, 4}, {3.5, 4}, {3.5, 20}, {6.5, 20}}));
    p.drawPolyline(QPolygonF({{17.5, 4}, {20.5, 4}, {20.5, 20}, {17.5, 20}}));
    p.setPen(Stroke(ink.line, 1.6));
    p.drawEllipse(QPointF(9.5, 12), 2.2, 4.0);
    p.drawLine(QPointF(13, 9.5), QPointF(16.5, 15.5));
    p.drawLine(QPointF(16.5, 9.5), QPointF(13, 15.5));
}

// Key Container Manager: a key.
void DrawKey(QPainter& p, const Ink& ink) {
    p.setPen(Stroke(ink.line, 1.2));
    p.setBrush(ink.body);
    QPainterPath key;
    key.addEllipse(QPointF(7, 12), 5, 5);
    key.addRect(QRectF(11, 10.5, 10.5, 3));
    key.addRect(QRectF(15.5, 13, 2, 4));
    key.addRect(QRectF(19.5, 13, 2, 3));
    p.drawPath(key.simplified());
    p.setBrush(ink.light);
    p.drawEllipse(QPointF(6, 12), 1.6, 1.6);
}

// Pseudo-random number: a die showing five.
void DrawDie(QPainter& p, const Ink& ink) {
    p.setPen(Stroke(ink.line, 1.4));
    p.setBrush(ink.body);
    p.drawRoundedRect(QRectF(3, 3, 18, 18), 3.5, 3.5);
    p.setPen(Qt::NoPen);
    p.setBrush(ink.accent);
    for (QPointF pip : {QPointF(7.5, 7.5), QPointF(16.5, 7.5), QPointF(12, 12), QPointF(7.5, 16.5),
                        QPointF(16.5, 16.5)})
        p.drawEllipse(pip, 1.8, 1.8);
}

// Pseudo-random prime: a "P" in a disc.
void DrawPrime(QPainter& p, const Ink& ink) {
    p.setPen(Stroke(ink.line, 1.2));
    p.setBrush(ink.body);
    p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
    QPainterPath letter;
    letter.moveTo(9.5, 17.5);
    letter.lineTo(9.5, 6.5);
    letter.lineTo(12.5, 6.5);
    letter.cubicTo(16.5, 6.5, 16.5, 12.5, 12.5, 12.5);
    letter.lineTo(9.5, 12.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(Stroke(ink.light, 2.2));
    p.drawPath(letter);
}

// Bit Shifter: an arrow over a row of bits.
void DrawBitShifter(QPainter& p, const Ink& ink) {
    p.setPen(Stroke(ink.accent, 2.0));
    p.drawLine(QPointF(3, 7), QPointF(17, 7));
    p.setPen(Qt::NoPen);
    p.setBrush(ink.accent);
    p.drawPolygon(QPolygonF({{22, 7}, {16.5, 3}, {16.5, 11}}));
    const std::array<bool, 4> bits{true, false, true, true};
    p.setPen(Stroke(ink.line, 1.0));
    for (size_t i = 0; i < bits.size(); ++i) {
        p.setBrush(bits[i] ? ink.body : ink.light);
        p.drawRect(QRectF(2.5 + 5.0 * static_cast<double>(i), 13.5, 4, 6));
    }
}

// Checksum Calculator: a sigma.
void DrawChecksum(QPainter& p, const Ink& ink) {
    p.setBrush(Qt::NoBrush);
    QPen pen = Stroke(ink.body, 2.4);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawPolyline(
        QPolygonF({{18, 7.5}, {18, 4.5}, {6, 4.5}, {13, 12}, {6, 19.5}, {18, 19.5}, {18, 16.5}}));
}

// CRC Value Calculator: a circular arrow around a byte.
void DrawCrc(QPainter& p, const Ink& ink) {
    const QPointF centre(12, 12);
    const double radius = 7.5;
    const double startDegrees = 60, spanDegrees = 270;
    p.setBrush(Qt::NoBrush);
    QPen pen = Stroke(ink.body, 2.4);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawArc(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius),
              static_cast<int>(startDegrees * 16), static_cast<int>(spanDegrees * 16));
    // The head points along the arc's direction of travel (counter-clockwise
    // on screen, where y grows downwards).
    const double a = (startDegrees + spanDegrees) * std::numbers::pi / 180.0;
    const QPointF end(centre.x() + radius * std::cos(a), centre.y() - radius * std::sin(a));
    const QPointF along(-std::sin(a), -std::cos(a));
    const QPointF across(std::cos(a), -std::sin(a));
    p.setPen(Qt::NoPen);
    p.setBrush(ink.body);
    p.drawPolygon(QPolygonF({end + along * 4.0, end + across * 3.5, end - across * 3.5}));
    p.setPen(Stroke(ink.line, 1.0));
    p.setBrush(ink.accent);
    p.drawRect(QRectF(10, 10, 4, 4));
}

// Hash Value Calculator: "#".
void DrawHash(QPainter& p, const Ink& ink) {
    p.setPen(Stroke(ink.body, 2.2));
    p.drawLine(QPointF(10, 4), QPointF(8, 20));
    p.drawLine(QPointF(16.5, 4), QPointF(14.5, 20));
    p.drawLine(QPointF(4.5, 9), QPointF(20.5, 9));
    p.drawLine(QPointF(3.5, 15), QPointF(19.5, 15));
}

// Scripting Host: a terminal window with a prompt.
void DrawScript(QPainter& p, const Ink& ink) {
    p.setPen(Stroke(ink.line, 1.2));
    p.setBrush(ink.body);
    p.drawRoundedRect(QRectF(2.5, 4, 19, 16), 2, 2);
    p.setPen(Stroke(ink.light, 1.6));
    p.drawLine(QPointF(2.5, 7), QPointF(21.5, 7));
    p.setPen(Stroke(ink.accent, 1.8));
    p.drawPolyline(QPolygonF({{6, 10}, {9.5, 13}, {6, 16}}));
    p.drawLine(QPointF(11.5, 16.5), QPointF(17, 16.5));
}

// Desktop calculator: a pocket calculator.
void DrawCalculator(QPainter& p, const Ink& ink) {
    p.setPen(Stroke(ink.line, 1.2));
    p.setBrush(ink.body);
    p.drawRoundedRect(QRectF(5, 2, 14, 20), 2, 2);
    p.setBrush(ink.accent);
    p.drawRect(QRectF(7, 4, 10, 4));
    p.setPen(Qt::NoPen);
    p.setBrush(ink.light);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col)
            p.drawRect(QRectF(7 + 3.6 * col, 10 + 3.6 * row, 2.6, 2.6));
    }
}

struct ToolbarImage {
    int command;
    Ink ink;
    DrawFn draw;
};

const std::array<ToolbarImage, kToolbarImageCount>& Images() {
    static const std::array<ToolbarImage, kToolbarImageCount> images{{
        {32771,
         {QColor(40, 40, 40), QColor(255, 255, 255), QColor(0, 90, 200), QColor()},
         DrawFormatter},
        {32772,
         {QColor(120, 80, 0), QColor(232, 182, 40), QColor(), QColor(255, 244, 200)},
         DrawKey},
        {32773,
         {QColor(50, 50, 50), QColor(255, 255, 255), QColor(200, 30, 30), QColor()},
         DrawDie},
        {32774,
         {QColor(20, 90, 40), QColor(40, 150, 70), QColor(), QColor(255, 255, 255)},
         DrawPrime},
        {32806,
         {QColor(40, 40, 40), QColor(0, 120, 200), QColor(220, 100, 0), QColor(255, 255, 255)},
         DrawBitShifter},
        {32780, {QColor(), QColor(110, 40, 150), QColor(), QColor()}, DrawChecksum},
        {32775, {QColor(0, 70, 70), QColor(0, 140, 140), QColor(240, 180, 50), QColor()}, DrawCrc},
        {32776, {QColor(), QColor(170, 60, 20), QColor(), QColor()}, DrawHash},
        {32777,
         {QColor(20, 20, 20), QColor(40, 44, 52), QColor(90, 220, 120), QColor(120, 130, 150)},
         DrawScript},
        {32808,
         {QColor(40, 45, 55), QColor(90, 100, 115), QColor(200, 230, 200), QColor(235, 235, 235)},
         DrawCalculator},
    }};
    return images;
}

// A colour as the grey a disabled image uses: its brightness squeezed into a
// middle band, so shapes stay apart but nothing looks active.
QColor Greyed(const QColor& colour) {
    if (!colour.isValid())
        return colour;
    const int level = 96 + qGray(colour.rgb()) * 112 / 255;
    return QColor(level, level, level);
}

Ink GreyedInk(const Ink& ink) {
    return {Greyed(ink.line), Greyed(ink.body), Greyed(ink.accent), Greyed(ink.light)};
}

QPixmap BlankPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

int ToolbarImageCommand(int index) {
    if (index < 0 || index >= kToolbarImageCount)
        return 0;
    return Images()[static_cast<size_t>(index)].command;
}

QPixmap ToolbarPixmap(int index, bool disabled) {
    if (index < 0 || index >= kToolbarImageCount)
        return {};
    const ToolbarImage& image = Images()[static_cast<size_t>(index)];
    QPixmap pixmap = BlankPixmap(kToolbarImageSize);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (disabled) {
        // The etched look of a disabled button: a white copy one pixel down
        // and right, the grey picture over it.
        const Ink white{Qt::white, Qt::white, Qt::white, Qt::white};
        p.save();
        p.translate(1, 1);
        image.draw(p, white);
        p.restore();
        image.draw(p, GreyedInk(image.ink));
    } else {
        image.draw(p, image.ink);
    }
    return pixmap;
}

QIcon ToolbarIcon(int index) {
    if (index < 0 || index >= kToolbarImageCount)
        return {};
    QIcon icon;
    icon.addPixmap(ToolbarPixmap(index, false), QIcon::Normal);
    icon.addPixmap(ToolbarPixmap(index, true), QIcon::Disabled);
    return icon;
}

namespace {

// The program icon on a 128-unit canvas; resources/desktop/ordovane.svg
// draws the same shapes with the same numbers.
QPixmap ApplicationPixmap(int size) {
    QPixmap pixmap = BlankPixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 128.0, size / 128.0);

    QLinearGradient tile(QPointF(4, 4), QPointF(124, 124));
    tile.setColorAt(0.0, QColor(0x1f, 0x6f, 0x8b));
    tile.setColorAt(1.0, QColor(0x12, 0x3c, 0x52));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(4, 4, 120, 120), 24, 24);

    const QPolygonF hexagon(
        {{64, 18}, {103.84, 41}, {103.84, 87}, {64, 110}, {24.16, 87}, {24.16, 41}});
    p.setPen(QPen(Qt::white, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 255, 255, 31));
    p.drawPolygon(hexagon);

    // Three bytes of an operand.
    p.setPen(Qt::NoPen);
    const QColor amber(0xf2, 0xb1, 0x34);
    const std::array<QColor, 3> cells{amber, QColor(Qt::white), amber};
    for (size_t i = 0; i < cells.size(); ++i) {
        p.setBrush(cells[i]);
        p.drawRoundedRect(QRectF(33 + 22.0 * static_cast<double>(i), 52, 18, 24), 4, 4);
    }
    return pixmap;
}

} // namespace

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(ApplicationPixmap(size));
    return icon;
}

} // namespace calculator
