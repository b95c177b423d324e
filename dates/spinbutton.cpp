#include "dates/spinbutton.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace cvd {

namespace {

QToolButton* arrow(Qt::ArrowType type, const char* name, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setArrowType(type);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    return b;
}

} // namespace

SpinButton::SpinButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    m_up = arrow(Qt::UpArrow, "up", this);
    m_down = arrow(Qt::DownArrow, "down", this);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    lay->addWidget(m_up);
    lay->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, &SpinButton::up);
    connect(m_down, &QToolButton::clicked, this, &SpinButton::down);
}

QSize SpinButton::sizeHint() const { return QSize(24, 19); }

} // namespace cvd
