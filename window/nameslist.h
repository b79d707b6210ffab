#pragma once

#include <QListWidget>

// The names list. Qt 6.4's single-selection list drops its selection when a click ends on the
// empty space under the last row; a click on no row chooses nothing, so this one leaves the
// chosen name alone.
class NamesList : public QListWidget
{
    Q_OBJECT
public:
    using QListWidget::QListWidget;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;
};
