#include "ui/frmabout.h"

#include "base/version.h"
#include "ui/elasticpanel.h"
#include "ui/programicon.h"

#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace cvd {

frmAbout::frmAbout(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Calvedon"));
    setWindowIcon(programIcon());

    resizingPanel = new ElasticPanel(QSize(5175, 2550), this);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(resizingPanel);

    Picture1 = new QLabel;
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(programIcon().pixmap(48, 48));
    Picture1->setScaledContents(true);
    resizingPanel->place(Picture1, QRect(360, 360, 720, 720));

    Label1 = new QLabel(QStringLiteral("Calvedon"));
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont big = Label1->font();
    big.setBold(true);
    big.setPointSizeF(14);
    Label1->setFont(big);
    resizingPanel->place(Label1, QRect(1440, 360, 3375, 480));

    Label2 = new QLabel(QStringLiteral("Version %1 (Beta)").arg(programVersion()));
    Label2->setObjectName(QStringLiteral("Label2"));
    resizingPanel->place(Label2, QRect(1440, 900, 3375, 285));

    cmdOk = new QPushButton(QStringLiteral("&Ok"));
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    resizingPanel->place(cmdOk, QRect(1980, 1740, 1215, 495));
    connect(cmdOk, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

    resize(resizingPanel->designPixels());
}

} // namespace cvd
