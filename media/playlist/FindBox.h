#pragma once
// The find box: a small dark box over the playlist where typing narrows the rows to those whose title, artist or
// file name holds what was typed. The arrows move in the results, Enter plays the chosen row as a double-click
// does, Escape (or a click elsewhere) closes it.
#include <QAbstractListModel>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "media/playlist/GridProxy.h"
#include "media/playlist/RowFinder.h"

class QLabel;
class QLineEdit;
class QListView;

namespace media {

// The found rows as the box lists them: number, title and artist, read from the grid as they are shown.
class FoundRowsModel final : public QAbstractListModel {
public:
    FoundRowsModel(GridProxy& grid, const std::vector<std::int32_t>& rows) : grid_(grid), rows_(rows) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // The results changed under the model.
    void Reset() {
        beginResetModel();
        endResetModel();
    }

private:
    GridProxy& grid_;
    const std::vector<std::int32_t>& rows_;
};

class FindBox final : public QWidget {
    Q_OBJECT
public:
    // Finds among the rows of `grid`; `play` starts a row.
    FindBox(GridProxy& grid, std::function<void(std::int32_t)> play);

    // Shows the box over the top of `anchor` with the rows read afresh and the last query selected.
    void Open(const QWidget& anchor);
    // The rows changed: they are read again before the next search.
    void RowsChanged() { stale_ = true; }

    QLineEdit* Query() const { return query_; }
    QListView* Results() const { return list_; }
    // The grid row of the chosen result, or -1 when nothing is found.
    std::int32_t ChosenRow() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Search();
    void ReadRows();
    void Choose(int result);
    void PlayChosen();

    GridProxy& grid_;
    std::function<void(std::int32_t)> play_;
    RowFinder finder_;
    FoundRowsModel model_;
    QLineEdit* query_;
    QListView* list_;
    QLabel* count_;
    bool stale_ = true;
};

}  // namespace media
