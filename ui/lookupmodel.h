#pragma once
// The entries of a look-up list as a list model of its own: texts (display
// and edit role) and keys (user role, the item data), refilled in one reset,
// with the row of a key found through a map instead of a walk over the list.
// QComboBox's own functions (count, itemText, itemData, findData, addItem,
// setItemData, removeItem, clear) keep working on it.
#include <QAbstractListModel>
#include <QAbstractProxyModel>
#include <QHash>
#include <QList>
#include <QStringList>
#include <vector>

namespace cvd {

struct ListEntries;

class LookupModel final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    // Replaces every entry; one model reset.
    void reset(const ListEntries& entries);

    // The first row whose key is `key`; -1 when there is none.  The map is
    // built on the first call after a change.
    int rowOf(int key) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    bool insertRows(int row, int count, const QModelIndex& parent = {}) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

    const QString& textAt(int row) const { return m_texts[row]; }

private:
    QStringList m_texts;
    QList<int> m_keys;
    mutable QHash<int, int> m_rows;
    mutable bool m_rowsValid = false;
};

// A look-up model's entries in the order a case-insensitive completer
// compares texts in, so that the completer of an editable list can search
// them by halves (QCompleter::CaseInsensitivelySortedModel) instead of
// reading every entry each time the list shows another text.  The order is
// worked out on first use after the entries change; entries that compare
// equal keep the list's order.
class CompletionOrder final : public QAbstractProxyModel {
public:
    CompletionOrder(LookupModel* source, QObject* parent);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;

private:
    void sortIfNeeded() const;
    void sourceChanging();
    void sourceChanged();

    LookupModel* m_source;
    mutable std::vector<int> m_order; // list row of each completer row
    mutable std::vector<int> m_rank;  // completer row of each list row
    mutable bool m_sorted = false;
};

} // namespace cvd
