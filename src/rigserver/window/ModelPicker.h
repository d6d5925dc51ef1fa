// ModelPicker: chooses a radio model from every model this Hamlib knows, grouped by maker and narrowed by
// typing any part of "maker model" (or a Hamlib model number). NONE, the Dummy rig and rigctld stay at the
// top. While a search is typed, the first match is chosen unless the chosen model still matches; Up and
// Down in the search field step through the matches, Enter says the choice is made. A search emptied (or
// escaped) before its match was taken with Enter, the arrows, a click or by moving on gives the model back
// that was chosen before it, so a stray key in the search field never changes the radio.
// Threads: GUI thread.
#pragma once

#include <QWidget>

#include <optional>
#include <unordered_map>

class ModelFilter;
class QLabel;
class QLineEdit;
class QModelIndex;
class QStandardItem;
class QStandardItemModel;
class QTreeView;

class ModelPicker final : public QWidget {
    Q_OBJECT

public:
    explicit ModelPicker(QWidget *parent = nullptr);

    int model() const { return m_model; }
    // Shows model as the choice and clears the search. A model this Hamlib does not know stays the choice,
    // though it is in no row, until the operator picks another.
    void setModel(int model);
    QLineEdit *searchField() const { return m_search; }

    // How the window names a model: "Icom IC-7300", "NONE (no rig)", "rigctld (network)".
    static QString displayName(int model);

signals:
    // The operator chose another model.
    void modelChanged(int model);
    // Enter in the search field.
    void choiceMade();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addItems();
    void search(const QString &text);
    void choose(int model);
    void selectChoice();
    void step(bool down);
    void showChoice();
    QModelIndex rowOf(int model) const;
    QModelIndex firstMatch() const;

    QLineEdit *m_search;
    QLabel *m_noMatch;
    QTreeView *m_view;
    QLabel *m_chosen;
    QStandardItemModel *m_items;
    ModelFilter *m_filter;
    std::unordered_map<int, QStandardItem *> m_rows;
    int m_model = 1;
    std::optional<int> m_beforeSearch; // the choice when the search that is typed now began
    bool m_selecting = false;
};
