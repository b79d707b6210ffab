#include "nameslist.h"

QItemSelectionModel::SelectionFlags NamesList::selectionCommand(const QModelIndex &index,
                                                                const QEvent *event) const
{
    return index.isValid() ? QListWidget::selectionCommand(index, event)
                           : QItemSelectionModel::NoUpdate;
}
