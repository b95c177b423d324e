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
#include <QLineEdit>
#include <QPlainTextEdit>

namespace cvd {

Recordset& frmDefault::settings()
{
    if (!m_settings)
        cvd::raise(91, QStringLiteral("Object variable or With block variable not set"));
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
    trap([this] { settings().Edit(); });
    storeMoney(txtMinCharge, QStringLiteral("DefMinCharge"), DefaultMinCharge);
    storeMoney(txtHourlyRate, QStringLiteral("DefHourlyRate"), DefaultHourlyRate);
    trap([this] { settings().SetField(QStringLiteral("CompName"), Value(txtCompName->text())); });
    trap([this] { settings().SetField(QStringLiteral("CompAdd"), Value(memoText(txtCompAdd))); });
    storeFont(txtCompName, QStringLiteral("N"));
    storeFont(txtCompAdd, QStringLiteral("A"));
    const bool written = WriteLoop([this] { settings().Update(); });
    if (!written && m_settings)
        m_settings->DiscardEdit();
    return written;
}

void frmDefault::cmdOk_Click()
{
    try {
        // A box not yet checked (OK chosen by its access key) is checked first.
        if (!moneyBoxesAccepted())
            return;
        save();
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
