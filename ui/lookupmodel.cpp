#include "ui/lookupmodel.h"

#include "ui/lookuplists.h"

#include <algorithm>
#include <numeric>

namespace cvd {

// ---- LookupModel -------------------------------------------------------------

void LookupModel::reset(const ListEntries& entries)
{
    beginResetModel();
    m_texts = entries.texts;
    m_keys = entries.keys;
    m_keys.resize(m_texts.size());
    m_rowsValid = false;
    m_rows.clear();
    endResetModel();
}

int LookupModel::rowOf(int key) const
{
    if (!m_rowsValid) {
        m_rows.clear();
        m_rows.reserve(m_keys.size());
        for (qsizetype i = m_keys.size(); i-- > 0;)
            m_rows.insert(m_keys[i], int(i)); // from the end, so that the first row of a key stays
        m_rowsValid = true;
    }
    return m_rows.value(key, -1);
}

int LookupModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_texts.size()); }

QVariant LookupModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_texts.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return m_texts[index.row()];
    case Qt::UserRole: return m_keys[index.row()];
    default: return {};
    }
}

bool LookupModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= m_texts.size())
        return false;
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        m_texts[index.row()] = value.toString();
    } else if (role == Qt::UserRole) {
        m_keys[index.row()] = value.toInt();
        m_rowsValid = false;
    } else {
        return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

bool LookupModel::insertRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || row > m_texts.size() || count < 1)
        return false;
    beginInsertRows(parent, row, row + count - 1);
    m_texts.insert(row, count, QString());
    m_keys.insert(row, count, 0);
    m_rowsValid = false;
    endInsertRows();
    return true;
}

bool LookupModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || count < 1 || row + count > m_texts.size())
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    m_texts.remove(row, count);
    m_keys.remove(row, count);
    m_rowsValid = false;
    endRemoveRows();
    return true;
}

// ---- CompletionOrder ---------------------------------------------------------

namespace {

// The text as QString::compare with Qt::CaseInsensitive sees it: each UTF-16
// unit case-folded, a low surrogate as the low half of its folded pair.  Two
// folded texts compare as plain texts exactly as the originals compare
// without case.
QString foldedForCompare(const QString& text)
{
    QString out(text.size(), Qt::Uninitialized);
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    const char16_t* in = reinterpret_cast<const char16_t*>(text.constData());
    char32_t last = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = in[i];
        if (ch < 0x80) {
            o[i] = ch >= u'A' && ch <= u'Z' ? char16_t(ch + 32) : ch;
        } else if (QChar::isLowSurrogate(ch) && QChar::isHighSurrogate(last)) {
            o[i] = QChar::lowSurrogate(QChar::toCaseFolded(QChar::surrogateToUcs4(char16_t(last), ch)));
        } else {
            o[i] = char16_t(QChar::toCaseFolded(char32_t(ch)));
        }
        last = ch;
    }
    return out;
}

} // namespace

CompletionOrder::CompletionOrder(LookupModel* source, QObject* parent) : QAbstractProxyModel(parent), m_source(source)
{
    QAbstractProxyModel::setSourceModel(source);
    // Any change of the entries may move them: the completer starts afresh.
    connect(source, &QAbstractItemModel::modelAboutToBeReset, this, &CompletionOrder::sourceChanging);
    connect(source, &QAbstractItemModel::modelReset, this, &CompletionOrder::sourceChanged);
    connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this, &CompletionOrder::sourceChanging);
    connect(source, &QAbstractItemModel::rowsInserted, this, &CompletionOrder::sourceChanged);
    connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this, &CompletionOrder::sourceChanging);
    connect(source, &QAbstractItemModel::rowsRemoved, this, &CompletionOrder::sourceChanged);
    connect(source, &QAbstractItemModel::dataChanged, this, [this] {
        sourceChanging();
        sourceChanged();
    });
}

void CompletionOrder::sourceChanging() { beginResetModel(); }

void CompletionOrder::sourceChanged()
{
    m_sorted = false;
    m_order.clear();
    m_rank.clear();
    endResetModel();
}

void CompletionOrder::sortIfNeeded() const
{
    if (m_sorted)
        return;
    const int n = m_source->rowCount();
    // Each text folded once; the folded texts then compare as plain texts.
    std::vector<QString> folded;
    folded.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i)
        folded.push_back(foldedForCompare(m_source->textAt(i)));
    m_order.resize(std::size_t(n));
    std::iota(m_order.begin(), m_order.end(), 0);
    std::stable_sort(m_order.begin(), m_order.end(),
                     [&folded](int a, int b) { return folded[std::size_t(a)] < folded[std::size_t(b)]; });
    m_rank.resize(std::size_t(n));
    for (int i = 0; i < n; ++i)
        m_rank[std::size_t(m_order[std::size_t(i)])] = i;
    m_sorted = true;
}

QModelIndex CompletionOrder::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || column != 0 || row < 0 || row >= rowCount())
        return {};
    return createIndex(row, column);
}

QModelIndex CompletionOrder::parent(const QModelIndex&) const { return {}; }

int CompletionOrder::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_source->rowCount(); }

int CompletionOrder::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 1; }

QVariant CompletionOrder::data(const QModelIndex& index, int role) const
{
    const QModelIndex source = mapToSource(index);
    return source.isValid() ? m_source->data(source, role) : QVariant();
}

QModelIndex CompletionOrder::mapToSource(const QModelIndex& proxyIndex) const
{
    if (!proxyIndex.isValid() || proxyIndex.model() != this || proxyIndex.row() >= m_source->rowCount())
        return {};
    sortIfNeeded();
    return m_source->index(m_order[std::size_t(proxyIndex.row())], 0);
}

QModelIndex CompletionOrder::mapFromSource(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid() || sourceIndex.model() != m_source || sourceIndex.row() >= m_source->rowCount())
        return {};
    sortIfNeeded();
    return index(m_rank[std::size_t(sourceIndex.row())], 0);
}

} // namespace cvd
