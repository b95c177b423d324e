#pragma once
// The calendar date picker: one month as a 7 x 7 grid of day numbers under
// a header row of weekday names, with a month box and a year box that each
// carry a spin button.  It starts on PickedDate; a click on a day writes
// that day into PickedDate and closes the picker.  Closing it any other way
// leaves PickedDate as the caller gave it.
//
//   PickedDate = start;             // before the picker is created
//   frmDateEnt picker(window);
//   picker.exec();
//   use(PickedDate);
#include <QDate>
#include <QDialog>
#include <QStringList>

class QLineEdit;
class QTableWidget;

namespace cvd {

class ElasticPanel;
class SpinButton;

class frmDateEnt : public QDialog {
    Q_OBJECT
public:
    // F1 opens the help file at the calendar's own topic.
    static constexpr int HelpContext = 102;

    explicit frmDateEnt(QWidget* parent = nullptr);

    ElasticPanel* resizingPanel = nullptr;
    QLineEdit* txtMonth = nullptr;
    SpinButton* Spin1 = nullptr;
    QLineEdit* txtYear = nullptr;
    SpinButton* Spin2 = nullptr;
    // Row 0 holds the weekday names; rows 1 to 6 the weeks, Sunday first.
    QTableWidget* Grid1 = nullptr;

    // The date whose month is on display and whose day is highlighted.
    QDate ShownDate;
    // "January" to "December".
    QStringList MonthNames;

    // Takes the starting date from PickedDate and shows its month.
    void Form_Load();
    // Writes the month of ShownDate into the boxes and the grid; its day
    // becomes the one selected cell and the current cell.
    void FillMonth();
    // Next / previous month.
    void Spin1_UpClick();
    void Spin1_DownClick();
    // Next / previous year.
    void Spin2_UpClick();
    void Spin2_DownClick();
    // Picks the day in the grid's current cell; an empty cell or the
    // header row does nothing.
    void Grid1_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Shows `month` of `year`, keeping the day of ShownDate where that month
    // has it and the 1st otherwise; beeps and changes nothing when the year
    // is out of range.
    void stepTo(int month, int year);
};

} // namespace cvd
