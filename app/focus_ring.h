// A ring around the widget that has the keyboard focus in a dialog. The
// style's own focus marks are faint on the forms' blue; the ring shows, in a
// colour that stands out from it, where the keys will go.
#pragma once

#include <QPointer>
#include <QWidget>

namespace veln::desktop {

class FocusRing : public QWidget {
    Q_OBJECT

  public:
    // Follows the focus among the widgets of window, drawn over them.
    explicit FocusRing(QWidget& window);

    // The widget it surrounds, nullptr while the window has no focus.
    QWidget* Target() const { return target_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Follow(QWidget* focused);
    void Place();

    QPointer<QWidget> target_;
};

}  // namespace veln::desktop
