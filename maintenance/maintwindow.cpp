// The maintenance windows' frame: controls at their design places, the
// button layouts of the three states, activation, Enter and closing.
#include "maintenance/maintwindow.h"

#include "base/errorhandler.h"
#include "base/globals.h"
#include "base/platform.h"
#include "db/database.h"
#include "ui/accessiblenames.h"
#include "ui/accesskeys.h"
#include "ui/contexthelp.h"
#include "ui/elasticpanel.h"
#include "ui/leavecheck.h"
#include "ui/lookuplists.h"
#include "ui/memobox.h"
#include "ui/programicon.h"
#include "ui/readonly.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>

namespace cvd {

namespace {

// Keeps a box of several lines within the length its field holds: what
// goes beyond it is dropped from what was just typed or pasted (the text
// before the cursor), as a one-line box refuses it.  A text stored longer
// (by another program) is never cut; it only may not grow.
void limitLength(QPlainTextEdit* box, int maxLength)
{
    QObject::connect(box, &QPlainTextEdit::textChanged, box, [box, maxLength] {
        const qsizetype allowed = std::max<qsizetype>(maxLength, storedMemoText(box).size());
        const qsizetype excess = memoText(box).size() - allowed;
        if (excess <= 0)
            return;
        QTextCursor c = box->textCursor();
        const int end = c.position();
        c.setPosition(std::max(0, end - int(excess)));
        c.setPosition(end, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        box->setTextCursor(c);
        platform().beep();
    });
}

} // namespace

MaintWindow::MaintWindow(MaintDesign design) : QWidget(nullptr), m_design(std::move(design))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(m_design.objectName);
    setWindowTitle(m_design.caption);
    setWindowIcon(programIcon());
    setHelpContext(this, m_design.helpContext);
    guardAccessKeys();
    resizingPanel = new ElasticPanel(m_design.clientTwips, this);
    resizingPanel->setObjectName(QStringLiteral("resizingPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(resizingPanel);
    createButtons();
    installContextHelp(this);
    // The window has no menu: F5 alone reads the records again.
    auto* refresh = new QShortcut(QKeySequence(Qt::Key_F5), this);
    refresh->setObjectName(QStringLiteral("refreshKey"));
    connect(refresh, &QShortcut::activated, this, [this] { guarded([this] { Refresh(); }); });
}

MaintWindow::~MaintWindow() = default;

void MaintWindow::createButtons()
{
    const char* names[] = {"cmdFirst", "cmdPrevious", "cmdNext", "cmdLast", "cmdAddNew",
                           "cmdDelete", "cmdFind", "cmdOk", "cmdCancel", "cmdUpdate"};
    const QString captions[] = {QStringLiteral("&First"), QStringLiteral("&Previous"), QStringLiteral("&Next"),
                                QStringLiteral("&Last"), QStringLiteral("&Add New"), QStringLiteral("&Delete"),
                                m_design.findCaption, QStringLiteral("&Ok"), QStringLiteral("&Cancel"),
                                QStringLiteral("&Update")};
    QPushButton** fields[] = {&cmdFirst, &cmdPrevious, &cmdNext, &cmdLast, &cmdAddNew,
                             &cmdDelete, &cmdFind, &cmdOk, &cmdCancel, &cmdUpdate};
    void (MaintWindow::*handlers[])() = {
        &MaintWindow::cmdFirst_Click, &MaintWindow::cmdPrevious_Click, &MaintWindow::cmdNext_Click,
        &MaintWindow::cmdLast_Click, &MaintWindow::cmdAddNew_Click, &MaintWindow::cmdDelete_Click,
        &MaintWindow::cmdFind_Click, &MaintWindow::cmdOk_Click, &MaintWindow::cmdCancel_Click,
        &MaintWindow::cmdUpdate_Click};
    for (int i = 0; i < 10; ++i) {
        auto* b = new QPushButton(captions[i]);
        b->setObjectName(QString::fromLatin1(names[i]));
        b->setAutoDefault(false);
        setHelpContext(b, m_design.helpContext);
        resizingPanel->place(b, QRect(m_design.buttonAt[size_t(i)], m_design.buttonTwips));
        m_tabOrder.append({m_design.buttonTab[size_t(i)], b});
        const auto handler = handlers[i];
        connect(b, &QPushButton::clicked, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
        *fields[i] = b;
    }
    // Cancel and Update stand on the places of Delete and Find, hidden
    // until an edit begins.
    cmdCancel->hide();
    cmdUpdate->hide();
    if (m_design.hasDefaultButton)
        setDefaultButton(cmdOk);
}

void MaintWindow::placeEntry(QWidget* w, const char* name, const QString& field, int tab, const QRect& twips,
                             const char* label, const QRect& labelTwips)
{
    w->setObjectName(QString::fromLatin1(name));
    setHelpContext(w, m_design.helpContext);
    resizingPanel->place(w, twips);
    m_tabOrder.append({tab, w});
    m_entries.append(Entry{w, field});
    if (label) {
        auto* l = new QLabel(QString::fromUtf8(label));
        l->setObjectName(QStringLiteral("Label%1").arg(++m_labelNo));
        // A label of its own size holds its text at its top, one placed
        // just above its control sits on the control.
        l->setAlignment(Qt::AlignLeft | (labelTwips.isNull() ? Qt::AlignBottom : Qt::AlignTop));
        setHelpContext(l, m_design.helpContext);
        resizingPanel->place(l, labelTwips.isNull() ? QRect(twips.left(), twips.top() - 255, twips.width(), 240)
                                                        : labelTwips);
        tieLabel(l, w);
        m_labels.insert(w, l);
    }
}

QLineEdit* MaintWindow::addTextBox(const char* name, const QString& field, int maxLength, int tab,
                                   const QRect& twips, const char* label, const QRect& labelTwips)
{
    auto* t = new QLineEdit;
    t->setMaxLength(maxLength);
    placeEntry(t, name, field, tab, twips, label, labelTwips);
    connect(t, &QLineEdit::textChanged, this, &MaintWindow::entryChanged);
    return t;
}

QPlainTextEdit* MaintWindow::addMemoBox(const char* name, const QString& field, int maxLength, int tab,
                                        const QRect& twips, const char* label)
{
    auto* t = new QPlainTextEdit;
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    t->setTabChangesFocus(true);
    if (maxLength > 0)
        limitLength(t, maxLength);
    placeEntry(t, name, field, tab, twips, label, {});
    connect(t, &QPlainTextEdit::textChanged, this, &MaintWindow::entryChanged);
    return t;
}

QComboBox* MaintWindow::addPickList(const char* name, const QString& field, int tab, const QRect& twips,
                                    const char* label)
{
    auto* c = new QComboBox;
    placeEntry(c, name, field, tab, twips, label, {});
    connect(c, &QComboBox::currentIndexChanged, this, &MaintWindow::entryChanged);
    // Delete and Backspace take the entry away, so that a record can be
    // left without one.
    clearOnDeleteKey(c);
    return c;
}

void MaintWindow::storeNullWhenBlank(QWidget* control)
{
    for (Entry& e : m_entries)
        if (e.control == control)
            e.nullWhenBlank = true;
}

void MaintWindow::capitalizeTwoLetters(QLineEdit* box)
{
    onLeave(box, [box] {
        const QString t = box->text();
        if (t.size() == 2)
            box->setText(t.toUpper()); // a change, like typing, is an edit
    });
}

void MaintWindow::applyTabOrder()
{
    std::stable_sort(m_tabOrder.begin(), m_tabOrder.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (qsizetype i = 1; i < m_tabOrder.size(); ++i)
        setTabOrder(m_tabOrder[i - 1].second, m_tabOrder[i].second);
}

QList<QWidget*> MaintWindow::entryControls() const
{
    QList<QWidget*> out;
    for (const Entry& e : m_entries)
        out << e.control;
    return out;
}

QLabel* MaintWindow::labelOf(const QWidget* control) const { return m_labels.value(control); }

void MaintWindow::setDefaultButton(QPushButton* b)
{
    if (m_default)
        m_default->setDefault(false);
    m_default = b;
    if (b)
        b->setDefault(true);
}

void MaintWindow::entryChanged()
{
    if (m_filling)
        return;
    m_typed = true;
    BeginEdit();
}

void MaintWindow::DisableFields()
{
    for (const Entry& e : m_entries)
        e.control->setEnabled(false);
}

void MaintWindow::EnableFields()
{
    for (const Entry& e : m_entries)
        e.control->setEnabled(true);
    if (m_readOnly)
        showReadOnly(entryControls());
}


void MaintWindow::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() != QEvent::ActivationChange || !isActiveWindow())
        return;
    // Whatever happens here may change the list the main window shows.
    if (m_design.listChanged)
        *m_design.listChanged = true;
    // The window's own lists follow changes made elsewhere.
    guardedActivation([this] {
        for (const QString& table : m_design.listTables)
            if (MainDb && m_listVersions.moved(*MainDb, table)) {
                reloadLists();
                return;
            }
    });
}

void MaintWindow::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    // Showing counts as an activation even where the desktop does not make
    // the window active.
    if (m_design.listChanged)
        *m_design.listChanged = true;
}

void MaintWindow::keyPressEvent(QKeyEvent* e)
{
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && m_default && m_default->isVisible()
        && m_default->isEnabled()) {
        m_default->click();
        return;
    }
    QWidget::keyPressEvent(e);
}

void MaintWindow::closeEvent(QCloseEvent* e)
{
    // OK closes without a question; it is only offered while browsing.
    if (!m_closing && !mayClose()) {
        e->ignore();
        return;
    }
    e->accept();
}

} // namespace cvd
