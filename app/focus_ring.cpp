#include "focus_ring.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace veln::desktop {

namespace {

// Amber: far from the forms' blue and from the selection's.
QColor RingColour() {
    return {255, 196, 38};
}

constexpr int MARGIN = 3;

}  // namespace

FocusRing::FocusRing(QWidget& window) : QWidget(&window) {
    setObjectName(QStringLiteral("FocusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget* /*old*/, QWidget* now) { Follow(now); });
}

void FocusRing::Follow(QWidget* focused) {
    if (target_ != nullptr) {
        target_->removeEventFilter(this);
    }
    target_ = focused != nullptr && focused != this && focused->window() == window() &&
                      focused != window()
                  ? focused
                  : nullptr;
    if (target_ == nullptr) {
        hide();
        return;
    }
    target_->installEventFilter(this);
    Place();
}

void FocusRing::Place() {
    if (target_ == nullptr || !target_->isVisible()) {
        hide();
        return;
    }
    QRect area(target_->mapTo(parentWidget(), QPoint(0, 0)), target_->size());
    setGeometry(area.adjusted(-MARGIN, -MARGIN, MARGIN, MARGIN));
    raise();
    show();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
    if (watched == target_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                               event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        Place();
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(RingColour(), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 3, 3);
}

}  // namespace veln::desktop
