#pragma once
// A window's tab order, written once as the list of its controls:
//   setTabChain({txtName, txtPhone, cmdOk, cmdCancel});
#include <QWidget>
#include <initializer_list>

namespace cvd {

// Tab goes from each control to the next in `chain`.
inline void setTabChain(std::initializer_list<QWidget*> chain)
{
    const QWidget* const* end = chain.end();
    for (QWidget* const* w = chain.begin(); w + 1 < end; ++w)
        QWidget::setTabOrder(w[0], w[1]);
}

} // namespace cvd
