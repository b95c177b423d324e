#include "ui/helpwindow.h"

#include "base/platform.h"
#include "ui/accessiblenames.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace cvd {

namespace {

const char* const UsingHelpHtml = R"(
<p>The help window has two parts. On the left you choose what to read; on the right the chosen topic is shown.</p>
<h3>Contents</h3>
<p>The <b>Contents</b> tab lists every topic of the help file. Click a topic to read it.</p>
<h3>Search</h3>
<p>The <b>Search</b> tab finds topics by keyword. Type the beginning of a word, for example <i>cost</i>:
the list of keywords jumps to the words that begin with what you typed. Choose a keyword (click it or press
Enter) and the topics that deal with it appear in the lower list; click one to read it.</p>
<h3>Moving between topics</h3>
<p>Underlined words in a topic lead to other topics: click them. <b>Back</b> returns to the topic you read before,
and <b>Contents</b> to the overview.</p>
<h3>Help from the program</h3>
<ul>
<li>Press <b>F1</b> in any box or button of the main window to read about that box or button.</li>
<li>The <b>Help</b> button of the main window and <b>Help &gt; Contents</b> open the contents.</li>
<li><b>Help &gt; Search for Help on...</b> opens the search.</li>
</ul>
<p>Close the help window with its close box or the Esc key when you are done; it keeps your place for the next time.</p>
)";

} // namespace

HelpWindow* HelpWindow::instance()
{
    static QPointer<HelpWindow> w;
    if (!w)
        w = new HelpWindow;
    return w;
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Calvedon Help"));

    m_tabs = new QTabWidget;
    m_contents = new QListWidget;
    m_contents->setObjectName(QStringLiteral("lstContents"));
    m_tabs->addTab(m_contents, QStringLiteral("&Contents"));

    auto* searchPage = new QWidget;
    auto* sv = new QVBoxLayout(searchPage);
    auto* l1 = new QLabel(QStringLiteral("&Type the first letters of the word you're looking for:"));
    l1->setWordWrap(true);
    m_search = new QLineEdit;
    m_search->setObjectName(QStringLiteral("txtSearch"));
    m_keywords = new QListWidget;
    m_keywords->setObjectName(QStringLiteral("lstKeywords"));
    auto* l2 = new QLabel(QStringLiteral("Topics found:"));
    m_searchTopics = new QListWidget;
    m_searchTopics->setObjectName(QStringLiteral("lstFound"));
    sv->addWidget(l1);
    sv->addWidget(m_search);
    sv->addWidget(m_keywords, 3);
    sv->addWidget(l2);
    sv->addWidget(m_searchTopics, 2);
    m_tabs->addTab(searchPage, QStringLiteral("&Search"));

    auto* right = new QWidget;
    auto* rv = new QVBoxLayout(right);
    rv->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QHBoxLayout;
    auto* cmdContents = new QPushButton(QStringLiteral("C&ontents"));
    m_back = new QPushButton(QStringLiteral("&Back"));
    m_back->setEnabled(false);
    auto* cmdUsing = new QPushButton(QStringLiteral("&Using Help"));
    cmdContents->setObjectName(QStringLiteral("cmdContents"));
    m_back->setObjectName(QStringLiteral("cmdBack"));
    cmdUsing->setObjectName(QStringLiteral("cmdUsing"));
    buttons->addWidget(cmdContents);
    buttons->addWidget(m_back);
    buttons->addWidget(cmdUsing);
    buttons->addStretch();
    m_title = new QLabel;
    QFont tf = m_title->font();
    tf.setPointSizeF(tf.pointSizeF() * 1.4);
    tf.setBold(true);
    m_title->setFont(tf);
    m_title->setWordWrap(true);
    m_text = new QTextBrowser;
    m_text->setObjectName(QStringLiteral("txtTopic"));
    m_text->setOpenLinks(false);
    // A caret that the arrow keys move, so that the text can be read (and
    // copied) line by line without a mouse.
    m_text->setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
    rv->addLayout(buttons);
    rv->addWidget(m_title);
    rv->addWidget(m_text, 1);

    auto* split = new QSplitter;
    split->addWidget(m_tabs);
    split->addWidget(right);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({280, 520});
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(split);
    resize(840, 560);

    nameControl(m_tabs, QStringLiteral("Contents and Search")); // its tabs read as the tab chosen
    nameControl(m_contents, QStringLiteral("Topics"));
    nameControl(m_keywords, QStringLiteral("Keywords"));
    tieLabel(l1, m_search);
    tieLabel(l2, m_searchTopics);
    // The topic's text reads by the topic's title above it.
    tieLabel(m_title, m_text);

    connect(m_contents, &QListWidget::itemActivated, this, [this](QListWidgetItem* it) { showTopic(it->data(Qt::UserRole).toInt()); });
    connect(m_contents, &QListWidget::itemClicked, this, [this](QListWidgetItem* it) { showTopic(it->data(Qt::UserRole).toInt()); });
    connect(m_search, &QLineEdit::textEdited, this, &HelpWindow::searchTextChanged);
    connect(m_search, &QLineEdit::returnPressed, this, &HelpWindow::keywordChosen);
    connect(m_keywords, &QListWidget::itemActivated, this, &HelpWindow::keywordChosen);
    connect(m_keywords, &QListWidget::itemClicked, this, &HelpWindow::keywordChosen);
    connect(m_searchTopics, &QListWidget::itemActivated, this, &HelpWindow::searchTopicChosen);
    connect(m_searchTopics, &QListWidget::itemClicked, this, &HelpWindow::searchTopicChosen);
    connect(m_text, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme() == QLatin1String("topic"))
            showTopic(url.path().toInt());
    });
    connect(cmdContents, &QPushButton::clicked, this, &HelpWindow::showContents);
    connect(m_back, &QPushButton::clicked, this, &HelpWindow::goBack);
    connect(cmdUsing, &QPushButton::clicked, this, &HelpWindow::showUsingHelp);
    // Escape closes the window as its close box does.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
}

bool HelpWindow::openFile(const QString& path)
{
    const QFileInfo fi(path);
    const qint64 stamp = fi.exists() ? fi.lastModified().toMSecsSinceEpoch() ^ fi.size() : 0;
    if (m_file && path == m_path && stamp == m_stamp)
        return true;
    QString error;
    auto f = HelpFile::load(path, &error);
    if (!f) {
        platform().messageBox(error + QStringLiteral("\n\nHelp is read from the file cvd.hlp in the data folder, next to cvd.mdb. "
                                                     "Copy cvd.hlp from the program's data folder there to have help."),
                              Mb::OkOnly | Mb::Exclamation, QStringLiteral("Calvedon Help"));
        return false;
    }
    m_file = std::move(f);
    m_path = path;
    m_stamp = stamp;
    m_history.clear();
    m_back->setEnabled(false);
    m_current = -1;
    if (!m_file->title().isEmpty())
        setWindowTitle(m_file->title());
    fillContents();
    m_keywords->clear();
    m_keywords->addItems(m_file->keywords());
    m_searchTopics->clear();
    return true;
}

bool HelpWindow::execute(const QString& file, int command, quint32 data)
{
    if (command == Help::HelpOnHelp && file.isEmpty()) {
        showUsingHelp();
    } else {
        if (!openFile(file))
            return false;
        if (command == Help::PartialKey)
            showSearch();
        else if (command == Help::HelpOnHelp)
            showUsingHelp();
        else if (data == 0)
            showContents();
        else
            showTopic(int(data));
    }
    show();
    raise();
    activateWindow();
    return true;
}

void HelpWindow::fillContents()
{
    m_contents->clear();
    if (!m_file)
        return;
    for (const auto& t : m_file->topics()) {
        if (t.context == 0)
            continue;
        auto* it = new QListWidgetItem(t.title, m_contents);
        it->setData(Qt::UserRole, t.context);
    }
}

void HelpWindow::showPage(const QString& title, const QString& html, int topic, bool remember)
{
    if (remember && (m_current != topic || m_title->text() != title) && !m_title->text().isEmpty()) {
        m_history << m_current;
        m_back->setEnabled(true);
    }
    m_current = topic;
    m_title->setText(title);
    m_text->setHtml(html);
    for (int i = 0; i < m_contents->count(); ++i)
        if (m_contents->item(i)->data(Qt::UserRole).toInt() == topic) {
            m_contents->setCurrentRow(i);
            break;
        }
}

void HelpWindow::showContents() { showContentsWith(QString()); }

void HelpWindow::showContentsWith(const QString& notice)
{
    m_tabs->setCurrentIndex(0);
    QString html = notice;
    QString title = QStringLiteral("Contents");
    if (m_file) {
        if (const HelpTopic* intro = m_file->topic(0)) {
            title = intro->title;
            html += m_file->bodyHtml(*intro);
        }
        html += QStringLiteral("<ul>\n");
        for (const auto& t : m_file->topics())
            if (t.context != 0)
                html += QStringLiteral("<li><a href=\"topic:%1\">%2</a></li>\n").arg(t.context).arg(t.title.toHtmlEscaped());
        html += QStringLiteral("</ul>\n");
    }
    showPage(title, html, -1, true);
}

void HelpWindow::showTopic(int context)
{
    const HelpTopic* t = m_file ? m_file->topic(context) : nullptr;
    if (!t) {
        showContentsWith(QStringLiteral("<p><i>There is no help topic number %1 in this help file. "
                                        "Choose a topic from the contents.</i></p>").arg(context));
        return;
    }
    showPage(t->title, m_file->bodyHtml(*t), t->context, true);
}

void HelpWindow::showSearch(const QString& partial)
{
    m_tabs->setCurrentIndex(1);
    m_search->setText(partial);
    searchTextChanged(partial);
    m_search->setFocus();
    if (m_title->text().isEmpty())
        showContents();
    m_tabs->setCurrentIndex(1);
}

void HelpWindow::showUsingHelp()
{
    showPage(QStringLiteral("How to Use Help"), QString::fromUtf8(UsingHelpHtml), -1, true);
}

void HelpWindow::goBack()
{
    if (m_history.isEmpty())
        return;
    const int prev = m_history.takeLast();
    m_back->setEnabled(!m_history.isEmpty());
    const HelpTopic* t = m_file ? m_file->topic(prev) : nullptr;
    if (t)
        showPage(t->title, m_file->bodyHtml(*t), prev, false);
    else {
        m_title->clear();
        showContents();
        if (!m_history.isEmpty() && m_history.last() == -1)
            m_history.removeLast();
    }
}

void HelpWindow::searchTextChanged(const QString& text)
{
    m_keywords->clear();
    m_searchTopics->clear();
    if (!m_file)
        return;
    m_keywords->addItems(m_file->keywordsStartingWith(text));
    if (m_keywords->count() > 0)
        m_keywords->setCurrentRow(0);
}

void HelpWindow::keywordChosen()
{
    m_searchTopics->clear();
    QListWidgetItem* kw = m_keywords->currentItem();
    if (!kw || !m_file)
        return;
    m_search->setText(kw->text());
    for (const HelpTopic* t : m_file->topicsWithKeyword(kw->text())) {
        auto* it = new QListWidgetItem(t->title, m_searchTopics);
        it->setData(Qt::UserRole, t->context);
    }
    if (m_searchTopics->count() == 1)
        showTopic(m_searchTopics->item(0)->data(Qt::UserRole).toInt());
}

void HelpWindow::searchTopicChosen()
{
    if (QListWidgetItem* it = m_searchTopics->currentItem())
        showTopic(it->data(Qt::UserRole).toInt());
}

QString HelpWindow::pageTitle() const { return m_title->text(); }
QString HelpWindow::pageText() const { return m_text->toPlainText(); }

QStringList HelpWindow::shownKeywords() const
{
    QStringList out;
    for (int i = 0; i < m_keywords->count(); ++i)
        out << m_keywords->item(i)->text();
    return out;
}

QStringList HelpWindow::shownSearchTopics() const
{
    QStringList out;
    for (int i = 0; i < m_searchTopics->count(); ++i)
        out << m_searchTopics->item(i)->text();
    return out;
}

} // namespace cvd
