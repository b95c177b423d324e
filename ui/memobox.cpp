#include "ui/memobox.h"

#include "base/memotext.h"

#include <QPlainTextEdit>
#include <QVariant>

namespace cvd {

namespace {
constexpr const char* StoredProperty = "cvdStoredText";
constexpr const char* ShownProperty = "cvdShownText";
}

void setMemoText(QPlainTextEdit* box, const QString& stored)
{
    box->setPlainText(stored);
    box->setProperty(StoredProperty, stored);
    box->setProperty(ShownProperty, box->toPlainText());
}

QString memoText(const QPlainTextEdit* box)
{
    return memoTextToStore(box->property(StoredProperty).toString(), box->property(ShownProperty).toString(),
                           box->toPlainText());
}

} // namespace cvd
