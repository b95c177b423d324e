#pragma once
// A small up/down spin button: two arrow buttons stacked in one narrow
// control, beside a box whose value they step.  Holding an arrow repeats
// its step.  The spin button never takes the keyboard focus.
#include <QWidget>

class QToolButton;

namespace cvd {

class SpinButton : public QWidget {
    Q_OBJECT
public:
    explicit SpinButton(QWidget* parent = nullptr);

    // The two arrows (objectNames "up" and "down").
    QToolButton* upArrow() const { return m_up; }
    QToolButton* downArrow() const { return m_down; }

    QSize sizeHint() const override;

signals:
    void up();
    void down();

private:
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
};

} // namespace cvd
