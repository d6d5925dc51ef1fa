// ModelPicker: chooses a radio model from every model of the catalogue it is given, grouped by maker and narrowed by
// typing any part of "maker model" (or a Hamlib model number). NONE, the Dummy rig and rigctld stay at the
// top. Typing only narrows the list and marks a row: the chosen model's while it matches, else the first
// match; Up and Down in the search field move the mark through the matches. A model is chosen only by a
// click on its row, or by Enter on the marked row (in the search field or the list), so a search that was
// never taken, or that matches nothing, leaves the radio as it was.
// Threads: GUI thread.
#pragma once

#include <QWidget>

#include <unordered_map>

class ModelFilter;
class QLabel;
class QLineEdit;
class QModelIndex;
class QStandardItem;
class QStandardItemModel;
class QTreeView;
class RigModelCatalogue;

class ModelPicker final : public QWidget {
    Q_OBJECT

public:
    // models outlives the picker.
    explicit ModelPicker(const RigModelCatalogue &models, QWidget *parent = nullptr);

    int model() const { return m_model; }
    // Shows model as the choice and clears the search. A model the catalogue does not know stays the choice,
    // though it is in no row, until the operator picks another.
    void setModel(int model);
    QLineEdit *searchField() const { return m_search; }

    // How the window names a model: "Icom IC-7300", "NONE (no rig)", "rigctld (network)".
    static QString displayName(const RigModelCatalogue &models, int model);

signals:
    // The operator chose another model.
    void modelChanged(int model);
    // Enter on a row: the operator is done with the model.
    void choiceMade();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addItems();
    void search(const QString &text);
    void choose(int model);
    bool chooseRow(const QModelIndex &index);
    void markRow();
    void step(bool down);
    void showChoice();
    QModelIndex rowOf(int model) const;
    QModelIndex firstMatch() const;

    const RigModelCatalogue &m_models;
    QLineEdit *m_search;
    QLabel *m_noMatch;
    QTreeView *m_view;
    QLabel *m_chosen;
    QStandardItemModel *m_items;
    ModelFilter *m_filter;
    std::unordered_map<int, QStandardItem *> m_rows;
    int m_model = 1;
};
