#pragma once
// The page engine's table text: cells separated by "|", rows ended by ";",
// and a page header's or footer's parts separated by "|".  A "|" or ";" in
// a field's own text would end its cell or its row there, shift the cells
// after it and put an amount into the wrong column.  So the reports write
// every field through appendCell(), which puts a stand-in character in the
// place of the field's own "|" and ";"; the page engine and the text file
// show the field as typed again (typedText()).  The stand-ins are two
// characters of Unicode's private use area, which nobody types into a
// request.
#include <QString>
#include <QStringView>

namespace cvd {

inline constexpr char16_t kCellBar = 0xE000;       // stands for a field's own "|"
inline constexpr char16_t kCellSemicolon = 0xE001; // stands for a field's own ";"

// Appends `text` to `out` as the text of one cell.
void appendCell(QString& out, QStringView text);
// `text` as the text of one cell.
QString cellText(QStringView text);

// Whether `text` holds a stand-in.
bool hasStandIns(QStringView text);
// `text` with its stand-ins back as "|" and ";".
QString typedText(QStringView text);
// The typed character a stand-in stands for; any other character itself.
inline constexpr char16_t typedChar(char16_t c)
{
    return c == kCellBar ? u'|' : c == kCellSemicolon ? u';' : c;
}

} // namespace cvd
