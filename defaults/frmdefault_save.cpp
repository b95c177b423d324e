// OK, Cancel and closing the defaults window.
#include "base/errorhandler.h"
#include "base/formats.h"
#include "base/globals.h"
#include "base/platform.h"
#include "db/database.h"
#include "defaults/fontfields.h"
#include "defaults/frmdefault.h"
#include "ui/memobox.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace cvd {

Recordset& frmDefault::settings()
{
    if (!m_settings)
        cvd::raise(cvd::ErrNo::ObjectNotSet, QStringLiteral("Object variable or With block variable not set"));
    return *m_settings;
}

// The amount in `box` into `field` and into the program's costing value
// `held`.  A blank box stores an empty field; the costing value cannot take
// an empty amount, so that step fails with "Invalid use of Null" and the
// value keeps the amount it held.
void frmDefault::storeMoney(const QLineEdit* box, const QString& field, Currency& held)
{
    Value amount;
    if (fmt::isNumeric(box->text()))
        trap([&] { amount = Value(fmt::toCurrency(box->text())); });
    trap([&] { settings().SetField(field, amount); });
    trap([&] { held = amount.toCurrency(); });
}

void frmDefault::storeFont(const QWidget* box, const QString& prefix)
{
    const FontChoice c = choiceOf(box->font());
    auto set = [&](const char* suffix, const Value& v) {
        trap([&] { settings().SetField(prefix + QLatin1String(suffix), v); });
    };
    set("Font", Value(c.name));
    set("Size", Value(Currency::fromDouble(c.size)));
    set("Bold", Value(c.bold));
    set("Italic", Value(c.italic));
    set("Under", Value(c.underline));
}

bool frmDefault::save()
{
    // The costing values go back to what they were when the row cannot be
    // written: new costings keep using what the file holds.
    const Currency minCharge = DefaultMinCharge, hourlyRate = DefaultHourlyRate;
    trap([this] { settings().Edit(); });
    storeMoney(txtMinCharge, QStringLiteral("DefMinCharge"), DefaultMinCharge);
    storeMoney(txtHourlyRate, QStringLiteral("DefHourlyRate"), DefaultHourlyRate);
    trap([this] { settings().SetField(QStringLiteral("CompName"), Value(txtCompName->text())); });
    trap([this] { settings().SetField(QStringLiteral("CompAdd"), Value(memoText(txtCompAdd))); });
    storeFont(txtCompName, QStringLiteral("N"));
    storeFont(txtCompAdd, QStringLiteral("A"));
    const bool written = WriteLoop([this] { settings().Update(); }, [this](int errorNumber) {
        if (errorNumber == ErrNo::RecordDeleted)
            tellDeletedElsewhere(QStringLiteral("The program defaults were deleted at another desk since you opened this window."));
        else
            defaultsChangedElsewhere();
    });
    if (!written) {
        if (m_settings)
            m_settings->DiscardEdit();
        DefaultMinCharge = minCharge;
        DefaultHourlyRate = hourlyRate;
    }
    return written;
}

namespace {

// A font in a few words: "Arial, 12 pt, bold italic".
QString fontText(const QFont& f)
{
    QStringList style;
    if (f.bold())
        style << QStringLiteral("bold");
    if (f.italic())
        style << QStringLiteral("italic");
    if (f.underline())
        style << QStringLiteral("underlined");
    QString text = QStringLiteral("%1, %2 pt").arg(f.family(), fmt::numberText(pointSize(f)));
    return style.isEmpty() ? text : text + QStringLiteral(", ") + style.join(QLatin1Char(' '));
}

} // namespace

void frmDefault::defaultsChangedElsewhere()
{
    auto rs = MainDb->OpenRecordset(QStringLiteral("Settings"), RecordsetType::Table);
    rs->MoveFirst();
    QList<StoredField> differing;
    auto compare = [&](const QWidget* box, const QString& shown, const QString& stored) {
        if (shown != stored)
            differing << StoredField{labelOf(box)->text(), stored};
    };
    compare(txtMinCharge, txtMinCharge->text(), moneyText(rs->Field(QStringLiteral("DefMinCharge"))));
    compare(txtHourlyRate, txtHourlyRate->text(), moneyText(rs->Field(QStringLiteral("DefHourlyRate"))));
    compare(txtCompName, txtCompName->text(), rs->Field(QStringLiteral("CompName")).displayText());
    compare(txtCompAdd, memoText(txtCompAdd), rs->Field(QStringLiteral("CompAdd")).displayText());
    for (const QWidget* box : {static_cast<const QWidget*>(txtCompName), static_cast<const QWidget*>(txtCompAdd)}) {
        const QFont stored = fontFromFields(readFontFields(*rs, box == txtCompName ? QStringLiteral("N") : QStringLiteral("A")));
        if (fontKey(stored) != fontKey(box->font()))
            differing << StoredField{labelOf(box)->text() + QStringLiteral(" Font"), fontText(stored)};
    }
    tellChangedElsewhere(QStringLiteral("The program defaults were changed at another desk since you opened this window."),
                         differing,
                         QStringLiteral("Your entries are still on screen.  Choose OK to save them over the stored "
                                        "defaults, or Cancel to close the window and keep the stored ones."));
}

void frmDefault::cmdOk_Click()
{
    try {
        // A box not yet checked (OK chosen by its access key) is checked first.
        if (!moneyBoxesAccepted())
            return;
        // Nothing typed is lost: a row that could not be written keeps the
        // window open, so that the user can try again or cancel.
        if (!save())
            return;
    } catch (const ProgramEnded&) {
        return; // the program is ending
    }
    m_closingByButton = true;
    close();
}

void frmDefault::cmdCancel_Click()
{
    m_closingByButton = true;
    close();
}

void frmDefault::closeEvent(QCloseEvent* e)
{
    // Closed by its close box after a change: the user says whether to keep it.
    if (!m_closingByButton && changed()
        && !askSaveBeforeClosing(QStringLiteral("Save the changes to this record?"),
                                 [this] { return moneyBoxesAccepted() && save(); })) {
        e->ignore();
        return;
    }
    m_closingByButton = false;
    if (m_settings) {
        m_settings->Close();
        m_settings.reset();
    }
    e->accept();
}

} // namespace cvd
