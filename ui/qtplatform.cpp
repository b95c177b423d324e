#include "ui/qtplatform.h"

#include "base/globals.h"
#include "db/database.h"
#include "db/errors.h"
#include "ui/helpwindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace cvd {

namespace {

QWidget* dialogParent() { return QApplication::activeWindow(); }
QString titleOr(const QString& t) { return t.isEmpty() ? ProgramTitle : t; }

} // namespace

QString qtFileFilter(const QString& pipeFilter)
{
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // The description already shows the pattern in brackets; Qt reads it there.
        QString desc = parts[i];
        if (!desc.contains(QLatin1Char('(')))
            desc += QStringLiteral(" (") + QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')');
        out << desc;
    }
    return out.join(QStringLiteral(";;"));
}

Answer QtPlatform::messageBox(const QString& text, int flags, const QString& title)
{
    QMessageBox box(dialogParent());
    box.setWindowTitle(titleOr(title));
    box.setText(text);
    switch (flags & Mb::IconMask) {
    case Mb::Critical: box.setIcon(QMessageBox::Critical); break;
    case Mb::Question: box.setIcon(QMessageBox::Question); break;
    case Mb::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Mb::Information: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    switch (flags & Mb::ButtonsMask) {
    case Mb::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Mb::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Mb::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    }
    // A message box always shows the normal arrow, even over an hourglass.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int r = box.exec();
    if (busy)
        QApplication::restoreOverrideCursor();
    switch (r) {
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Ok;
    }
}

QString QtPlatform::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(dialogParent(), titleOr(title), prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

QString QtPlatform::saveAs(const QString& title, const QString& defaultName, const QString& filter)
{
    // As the classic dialog without the overwrite prompt: an existing file is replaced.
    const QString path = QFileDialog::getSaveFileName(dialogParent(), title.isEmpty() ? QStringLiteral("Save As") : title,
                                                      defaultName, qtFileFilter(filter), nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        raise(ErrNo::DialogCancelled);
    return path;
}

FontChoice QtPlatform::chooseFont(const FontChoice& font)
{
    QFont start(font.name);
    if (font.size > 0)
        start.setPointSizeF(font.size);
    start.setBold(font.bold);
    start.setItalic(font.italic);
    start.setUnderline(font.underline);
    // A family that is not installed would open the dialog on a family of
    // its own choosing, in its plain style: it opens on the family that
    // stands in for it, in the size and style asked for.
    start.setFamilies({QFontInfo(start).family()});
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, start, dialogParent(), QStringLiteral("Font"));
    if (!ok)
        raise(ErrNo::DialogCancelled);
    return FontChoice{f.family(), f.pointSizeF(), f.bold(), f.italic(), f.underline()};
}

QtPlatform::~QtPlatform() { delete m_progress.data(); }

bool QtPlatform::choosePrinter(QPrinter& printer)
{
    QPrintDialog dialog(&printer, dialogParent());
    return dialog.exec() == QDialog::Accepted;
}

void QtPlatform::progressBegin(const QString& label)
{
    delete m_progress.data();
    m_progress = new QProgressDialog(label, QStringLiteral("Cancel"), 0, 0, dialogParent());
    m_progress->setWindowTitle(ProgramTitle);
    m_progress->setWindowModality(Qt::ApplicationModal);
    m_progress->setMinimumDuration(500);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setValue(0);
    m_sinceStep.start();
}

bool QtPlatform::progressStep(qint64 done, qint64 total)
{
    if (!m_progress)
        return true;
    // The dialog handles the user's events when its value is set; a few
    // times a second is enough to keep it alive without slowing the task.
    if (m_sinceStep.isValid() && m_sinceStep.elapsed() < 50)
        return !m_progress->wasCanceled();
    m_sinceStep.restart();
    const int scale = total > 0 ? 1000 : 0;
    m_progress->setMaximum(scale);
    m_progress->setValue(total > 0 ? int(std::min<qint64>(1000, done * 1000 / total)) : 0);
    QApplication::processEvents();
    return !m_progress->wasCanceled();
}

void QtPlatform::progressEnd()
{
    delete m_progress.data();
    m_progress = nullptr;
}

void QtPlatform::beep() { QApplication::beep(); }

void QtPlatform::setPointer(Pointer p)
{
    if (p == Pointer::Hourglass && !m_hourglass) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_hourglass = true;
    } else if (p == Pointer::Default && m_hourglass) {
        QApplication::restoreOverrideCursor();
        m_hourglass = false;
    }
}

// The windows go on painting while the write waits, but a click or a key
// is kept until the wait is over: nothing may start another write meanwhile.
void QtPlatform::pause(int ms)
{
    QEventLoop wait;
    QTimer::singleShot(ms, &wait, &QEventLoop::quit);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
}

void QtPlatform::help(QWidget*, const QString& helpFile, int command, quint32 data)
{
    HelpWindow::instance()->execute(helpFile, command, data);
}

void QtPlatform::endProgram(int exitCode)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
    ReqSet.reset();
    MainDb.reset();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(exitCode);
}

} // namespace cvd
