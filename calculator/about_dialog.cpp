#include "calculator/about_dialog.h"

#include "platform/qt/control_id.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>
#include <numbers>

namespace calculator {

namespace {

// The product banner: a band of hexagon cells, densest at the left, behind
// the product name.
class BannerWidget : public QWidget {
public:
    explicit BannerWidget(QWidget* parent) : QWidget(parent) { setFixedSize(380, 96); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF band = rect();

        QLinearGradient sky(band.topLeft(), band.bottomRight());
        sky.setColorAt(0.0, QColor(0x12, 0x3c, 0x52));
        sky.setColorAt(1.0, QColor(0x1f, 0x6f, 0x8b));
        p.fillRect(band, sky);

        // Pointy-top hexagons on the usual offset grid; each column fades
        // a little more so the name on the right stays readable.
        const double r = 13.0;
        const double w = std::sqrt(3.0) * r;
        const double rowStep = 1.5 * r;
        int row = 0;
        for (double cy = 0.0; cy < band.height() + r; cy += rowStep, ++row) {
            const double shift = (row % 2) ? w / 2.0 : 0.0;
            for (double cx = shift; cx < band.width() + w; cx += w) {
                const double fade = 1.0 - cx / band.width();
                if (fade <= 0.05)
                    continue;
                QPainterPath hex;
                for (int k = 0; k < 6; ++k) {
                    const double a = (60.0 * k - 90.0) * std::numbers::pi / 180.0;
                    const QPointF corner(cx + (r - 1.5) * std::cos(a),
                                         cy + (r - 1.5) * std::sin(a));
                    if (k == 0)
                        hex.moveTo(corner);
                    else
                        hex.lineTo(corner);
                }
                hex.closeSubpath();
                QColor edge(0x8f, 0xd3, 0xe8);
                edge.setAlphaF(0.55 * fade);
                p.setPen(QPen(edge, 1.2));
                // A scattering of lit cells, in a fixed pattern.
                if ((row * 7 + static_cast<int>(cx / w) * 3) % 11 == 0) {
                    QColor lit(0xf2, 0xb1, 0x34);
                    lit.setAlphaF(0.75 * fade);
                    p.setBrush(lit);
                } else {
                    p.setBrush(Qt::NoBrush);
                }
                p.drawPath(hex);
            }
        }

        QFont nameFont = font();
        nameFont.setPixelSize(40);
        nameFont.setWeight(QFont::Bold);
        p.setFont(nameFont);
        const QRectF nameBox = band.adjusted(0, 0, -20, 0);
        p.setPen(QColor(0, 0, 0, 90));
        p.drawText(nameBox.translated(2, 2), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("Ordovane"));
        p.setPen(Qt::white);
        p.drawText(nameBox, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Ordovane"));
    }
};

} // namespace

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Ordovane"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* banner = new BannerWidget(this);
    platform::SetControlId(banner, kIdBanner);

    auto* name = new QLabel(QStringLiteral("Kestrune's Multiple-Precision Hex Calculator"), this);
    platform::SetControlId(name, kIdProductName);
    auto* version = new QLabel(QStringLiteral("Ordovane Version 4.21"), this);
    platform::SetControlId(version, kIdVersion);
    for (QLabel* label : {name, version}) {
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignCenter);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    platform::SetControlId(ok, kIdOk);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(banner, 0, Qt::AlignHCenter);
    layout->addSpacing(6);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addSpacing(6);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace calculator
