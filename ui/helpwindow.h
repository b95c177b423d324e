#pragma once
// The program's help viewer for cvd.hlp: a contents list, a keyword search
// that narrows as the user types the beginning of a word, and the topic
// text with links between topics.  One window serves the whole program; a
// help call shows it at the contents, at a context number, at the search,
// or at its own instructions ("Using Help").
#include "base/helpfile.h"

#include <QWidget>
#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTextBrowser;

namespace cvd {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // The one help window, created on first use.
    static HelpWindow* instance();

    // Carries out a call on the help engine (Help::Context, Help::PartialKey,
    // Help::HelpOnHelp) and shows the window.  A help file that cannot be
    // read is reported to the user in a message box; then nothing is shown
    // and the result is false.
    bool execute(const QString& file, int command, quint32 data);

    // Loads the file, unless it is the one already loaded and unchanged.
    bool openFile(const QString& path);

    void showContents();
    void showTopic(int context);
    void showSearch(const QString& partial = {});
    void showUsingHelp();
    void goBack();

    // What is on display (for the program's checks and tests).
    int currentTopic() const { return m_current; } // -1: contents or using help
    QString pageTitle() const;
    QString pageText() const;
    QStringList shownKeywords() const;
    QStringList shownSearchTopics() const;
    const std::optional<HelpFile>& file() const { return m_file; }

    explicit HelpWindow(QWidget* parent = nullptr);

private:
    void fillContents();
    void showContentsWith(const QString& notice);
    void showPage(const QString& title, const QString& html, int topic, bool remember);
    void searchTextChanged(const QString& text);
    void keywordChosen();
    void searchTopicChosen();

    std::optional<HelpFile> m_file;
    QString m_path;
    qint64 m_stamp = 0;
    int m_current = -1;
    QList<int> m_history; // topics shown before, -1 for the contents
    QTabWidget* m_tabs = nullptr;
    QListWidget* m_contents = nullptr;
    QLineEdit* m_search = nullptr;
    QListWidget* m_keywords = nullptr;
    QListWidget* m_searchTopics = nullptr;
    QLabel* m_title = nullptr;
    QTextBrowser* m_text = nullptr;
    QPushButton* m_back = nullptr;
};

} // namespace cvd
