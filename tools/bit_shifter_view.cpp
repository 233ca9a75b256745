#include "tools/bit_shifter_view.h"

#include "platform/qt/control_id.h"
#include "resources/ids.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace tools {
namespace {

QLineEdit* Display(QWidget* parent, int id, const QString& name) {
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignCenter);
    field->setFocusPolicy(Qt::NoFocus);
    field->setAccessibleName(name);
    platform::SetControlId(field, id);
    return field;
}

// Row heights in units, from the top: register, words, bytes, brackets
// between them, bits, taps, the tap bus.
constexpr int kRowDisplay = 2;
constexpr int kBracket = 1;

} // namespace

CBitShifterView::CBitShifterView(QWidget* parent) : QWidget(parent) {
    platform::SetControlId(this, ids::kIdShiftPicture);
    setAccessibleName(QStringLiteral("Shift Register"));
    for (int i = 0; i < 32; ++i) {
        auto* b = new QPushButton(QStringLiteral("0"), this);
        b->setAccessibleName(QStringLiteral("Bit %1").arg(i));
        b->setAccessibleDescription(QStringLiteral("0"));
        b->setAutoDefault(false);
        platform::SetControlId(b, ids::kIdBit0 + i);
        bits_[static_cast<size_t>(i)] = b;
        auto* t = new QCheckBox(this);
        t->setAccessibleName(QStringLiteral("Tap %1").arg(i));
        t->setEnabled(false);
        platform::SetControlId(t, ids::kIdTap0 + i);
        taps_[static_cast<size_t>(i)] = t;
    }
    for (int i = 0; i < 4; ++i)
        bytes_[static_cast<size_t>(i)] =
            Display(this, ids::kIdByte0 + i, QStringLiteral("Byte %1").arg(i));
    lowWord_ = Display(this, ids::kIdLowWord, QStringLiteral("Low Word"));
    highWord_ = Display(this, ids::kIdHighWord, QStringLiteral("High Word"));
    register_ = Display(this, ids::kIdRegister, QStringLiteral("Register"));
    feedback_ = new QPushButton(this);
    feedback_->setAccessibleName(QStringLiteral("Feedback Bit"));
    feedback_->setAutoDefault(false);
    feedback_->setFocusPolicy(Qt::NoFocus);
    platform::SetControlId(feedback_, ids::kIdFeedbackBit);
}

int CBitShifterView::Unit() const {
    return fontMetrics().height();
}

int CBitShifterView::BitLeft(int i) const {
    const int u = Unit();
    const int w = u * 3 / 2;
    const int position = 31 - i;    // from the left
    const int groupGap = u * 2 / 3; // the wider gap after every 8 bits
    return u + position * (w + 2) + (position / 8) * groupGap;
}

QSize CBitShifterView::sizeHint() const {
    const int u = Unit();
    const int right = BitLeft(0) + u * 3 / 2;
    // Room on the right for the XOR symbol, the indicator and the loop.
    const int width = right + u * 5;
    const int height = u * (3 * kRowDisplay + 3 * kBracket) + u * 2 /*bits*/ + u * 3 /*taps, bus*/;
    return {width, height};
}

void CBitShifterView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceControls();
}

void CBitShifterView::PlaceControls() {
    const int u = Unit();
    const int w = u * 3 / 2;
    const int displayH = u * 3 / 2;
    const int rowStep = u * (kRowDisplay + kBracket);
    auto span = [&](QLineEdit* e, int highBit, int lowBit, int row, int width) {
        const int left = BitLeft(highBit);
        const int right = BitLeft(lowBit) + w;
        const int x = (left + right - width) / 2;
        e->setGeometry(x, row * rowStep, width, displayH);
    };
    span(register_, 31, 0, 0, u * 7);
    span(highWord_, 31, 16, 1, u * 4);
    span(lowWord_, 15, 0, 1, u * 4);
    for (int i = 0; i < 4; ++i)
        span(bytes_[static_cast<size_t>(i)], 8 * i + 7, 8 * i, 2, u * 5 / 2);
    const int bitsTop = 3 * rowStep;
    for (int i = 0; i < 32; ++i) {
        bits_[static_cast<size_t>(i)]->setGeometry(BitLeft(i), bitsTop, w, u * 3 / 2);
        QCheckBox* t = taps_[static_cast<size_t>(i)];
        const QSize box = t->sizeHint();
        t->setGeometry(BitLeft(i) + (w - box.width()) / 2, bitsTop + u * 2, box.width(),
                       box.height());
    }
    const int right = BitLeft(0) + w;
    feedback_->setGeometry(right + u * 2, bitsTop + u * 2 + u * 3 / 2, w, u * 3 / 2);
}

void CBitShifterView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // A cosmetic pen keeps one device pixel per line at every scale factor.
    QPen pen(palette().color(QPalette::WindowText), 0);
    pen.setCosmetic(true);
    p.setPen(pen);

    // Brackets: from a display's bottom centre down to a bar over what it
    // covers, with ticks at the bar's ends.
    auto bracket = [&](const QWidget* display, int left, int right, int top) {
        const QRect g = display->geometry();
        const qreal barY = top - Unit() / 3.0;
        p.drawLine(QPointF(g.center().x(), g.bottom() + 1), QPointF(g.center().x(), barY));
        p.drawLine(QPointF(left, barY), QPointF(right, barY));
        p.drawLine(QPointF(left, barY), QPointF(left, top));
        p.drawLine(QPointF(right, barY), QPointF(right, top));
    };
    auto widest = [](const QWidget* a, const QWidget* b) {
        return std::make_pair(a->geometry().left(), b->geometry().right());
    };
    auto [rl, rr] = widest(highWord_, lowWord_);
    bracket(register_, rl, rr, highWord_->geometry().top());
    auto [hl, hr] = widest(bytes_[3], bytes_[2]);
    bracket(highWord_, hl, hr, bytes_[3]->geometry().top());
    auto [ll, lr] = widest(bytes_[1], bytes_[0]);
    bracket(lowWord_, ll, lr, bytes_[1]->geometry().top());
    for (int i = 0; i < 4; ++i) {
        const int left = bits_[static_cast<size_t>(8 * i + 7)]->geometry().left();
        const int right = bits_[static_cast<size_t>(8 * i)]->geometry().right();
        bracket(bytes_[static_cast<size_t>(i)], left, right, bits_[0]->geometry().top());
    }

    // Tap lines down to the bus, the bus into the XOR symbol beside the
    // feedback indicator, and the loop around the register's right end back
    // into bit 0.
    const QRect fb = feedback_->geometry();
    const qreal busY = fb.center().y();
    const qreal radius = Unit() * 0.6;
    const QPointF xorCentre(fb.left() - Unit() * 1.2, busY);
    for (int i = 0; i < 32; ++i) {
        const QRect t = taps_[static_cast<size_t>(i)]->geometry();
        p.drawLine(QPointF(t.center().x(), t.bottom() + 1), QPointF(t.center().x(), busY));
    }
    const qreal busLeft = taps_[31]->geometry().center().x();
    p.drawLine(QPointF(busLeft, busY), QPointF(xorCentre.x() - radius, busY));
    p.drawEllipse(xorCentre, radius, radius);
    p.drawLine(xorCentre - QPointF(radius, 0), xorCentre + QPointF(radius, 0));
    p.drawLine(xorCentre - QPointF(0, radius), xorCentre + QPointF(0, radius));
    p.drawLine(QPointF(xorCentre.x() + radius, busY), QPointF(fb.left(), busY));

    const QRect bit0 = bits_[0]->geometry();
    const qreal loopX = fb.right() + Unit() * 0.8;
    const qreal entryY = bit0.center().y();
    QPainterPath loop;
    loop.moveTo(fb.right() + 1, busY);
    loop.lineTo(loopX, busY);
    loop.lineTo(loopX, entryY);
    loop.lineTo(bit0.right() + 1, entryY);
    p.drawPath(loop);
    // The arrow head into bit 0.
    const qreal a = Unit() * 0.3;
    QPainterPath head;
    head.moveTo(bit0.right() + 1, entryY);
    head.lineTo(bit0.right() + 1 + a, entryY - a / 1.5);
    head.lineTo(bit0.right() + 1 + a, entryY + a / 1.5);
    head.closeSubpath();
    p.fillPath(head, pen.color());
}

} // namespace tools
