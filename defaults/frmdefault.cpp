#include "defaults/frmdefault.h"

#include "base/formats.h"
#include "base/globals.h"
#include "db/database.h"
#include "defaults/fontfields.h"
#include "ui/accesskeys.h"
#include "ui/accessiblenames.h"
#include "ui/contexthelp.h"
#include "ui/elasticpanel.h"
#include "ui/memobox.h"
#include "ui/readonly.h"
#include "ui/programicon.h"
#include "ui/taborder.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <limits>

namespace cvd {

frmDefault::frmDefault(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmDefault"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Maintain Defaults"));
    setWindowIcon(programIcon());
    // F1 opens the help file at the window's own topic.
    setHelpContext(this, HelpContext);
    guardAccessKeys();
    createControls();
    createMenus();
    setCentralWidget(resizingPanel);
    connectMoneyBoxes();
    installContextHelp(this);
    resize(sizeHint());
}

frmDefault::~frmDefault() = default;

QLabel* frmDefault::labelOf(const QWidget* control) const { return m_labels.value(control); }

void frmDefault::createControls()
{
    resizingPanel = new ElasticPanel(QSize(DesignWidth, DesignHeight), this);
    resizingPanel->setObjectName(QStringLiteral("resizingPanel"));
    int labelNo = 0;

    // Places a control at its design rectangle, with its label (if any) one
    // line high directly above it, `labelWidth` wide.
    auto put = [&](auto* w, const char* name, QRect rect, const char* label = nullptr, int labelWidth = 0) {
        w->setObjectName(QString::fromLatin1(name));
        resizingPanel->place(w, rect);
        if (label) {
            auto* l = new QLabel(QString::fromUtf8(label));
            l->setObjectName(QStringLiteral("Label%1").arg(++labelNo));
            l->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
            resizingPanel->place(l, QRect(rect.left(), rect.top() - 255, labelWidth, 240));
            tieLabel(l, w);
            m_labels.insert(w, l);
        }
        return w;
    };

    // The money labels are wider than their boxes, short of the company column.
    txtMinCharge = put(new QLineEdit, "txtMinCharge", QRect(360, 480, 1215, 285), "Minimum Charge", 1815);
    txtHourlyRate = put(new QLineEdit, "txtHourlyRate", QRect(360, 1560, 1215, 285), "Hourly Rate", 1815);
    txtCompName = put(new QLineEdit, "txtCompName", QRect(2280, 480, 4095, 645), "Company Name", 4095);
    txtCompName->setMaxLength(std::numeric_limits<int>::max());
    txtCompAdd = new QPlainTextEdit;
    txtCompAdd->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtCompAdd->setTabChangesFocus(true);
    put(txtCompAdd, "txtCompAdd", QRect(2280, 2280, 4095, 975), "Company Address", 4095);
    cmdOk = put(new QPushButton(QStringLiteral("&Ok")), "cmdOk", QRect(1800, 3840, 1215, 495));
    cmdCancel = put(new QPushButton(QStringLiteral("&Cancel")), "cmdCancel", QRect(4800, 3840, 1215, 495));
    // Cancel does not take the focus when clicked, so that it also leaves a
    // money box whose entry its check refuses.
    cmdCancel->setFocusPolicy(Qt::TabFocus);

    setTabChain({txtMinCharge, txtHourlyRate, txtCompName, txtCompAdd, cmdOk, cmdCancel});
    // The window opens with the focus in the first box.
    txtMinCharge->setFocus();

    connect(cmdOk, &QPushButton::clicked, this, &frmDefault::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDefault::cmdCancel_Click);
}

void frmDefault::createMenus()
{
    mnuFontMenu = menuBar()->addMenu(QStringLiteral("&Font"));
    mnuFontMenu->setObjectName(QStringLiteral("mnuFontMenu"));
    const char* captions[] = {nullptr, "&Company Name", "&Company Address"};
    for (int i = 1; i <= 2; ++i) {
        mnuFont[i] = mnuFontMenu->addAction(QString::fromUtf8(captions[i]));
        mnuFont[i]->setObjectName(QStringLiteral("mnuFont%1").arg(i));
        connect(mnuFont[i], &QAction::triggered, this, [this, i] { mnuFont_Click(i); });
    }
}

void frmDefault::Form_Load()
{
    m_settings = MainDb->OpenRecordset(QStringLiteral("Settings"), RecordsetType::Table);
    Recordset& rs = *m_settings;
    rs.MoveFirst();
    txtMinCharge->setText(moneyText(rs.Field(QStringLiteral("DefMinCharge"))));
    txtHourlyRate->setText(moneyText(rs.Field(QStringLiteral("DefHourlyRate"))));
    txtCompName->setText(rs.Field(QStringLiteral("CompName")).displayText());
    setMemoText(txtCompAdd, rs.Field(QStringLiteral("CompAdd")).displayText());
    txtCompName->setCursorPosition(0);
    // The first box has the focus when the window opens: its text selected.
    txtMinCharge->selectAll();
    txtCompName->setFont(fontFromFields(readFontFields(rs, QStringLiteral("N"))));
    txtCompAdd->setFont(fontFromFields(readFontFields(rs, QStringLiteral("A"))));
    m_loaded = snapshot();
    // A login that may not change the defaults (on a server) sees them;
    // Cancel closes the window.
    if (!MainDb->canWrite(QStringLiteral("Settings"))) {
        showReadOnly({txtMinCharge, txtHourlyRate, txtCompName, txtCompAdd, cmdOk});
        mnuFontMenu->setEnabled(false);
    }
}

QString frmDefault::moneyText(const Value& v) { return v.isNull() ? QString() : fmt::currency(v.toCurrency()); }

QStringList frmDefault::snapshot() const
{
    return {txtMinCharge->text(), txtHourlyRate->text(), txtCompName->text(), memoText(txtCompAdd),
            fontKey(txtCompName->font()), fontKey(txtCompAdd->font())};
}

bool frmDefault::changed() const { return snapshot() != m_loaded; }

frmDefault* showDefaultsWindow(QWidget* mainWindow)
{
    static QPointer<frmDefault> open;
    if (!open) {
        auto w = std::make_unique<frmDefault>(mainWindow);
        w->Form_Load();
        open = w.release();
    }
    open->show();
    open->raise();
    open->activateWindow();
    return open;
}

} // namespace cvd
