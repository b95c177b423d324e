#pragma once
// The about box: the program's icon, name and version, and an Ok button.
#include <QWidget>

class QLabel;
class QPushButton;

namespace cvd {

class ElasticPanel;

class frmAbout : public QWidget {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    ElasticPanel* resizingPanel = nullptr;
    QLabel* Picture1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* cmdOk = nullptr;
};

} // namespace cvd
