#include "rigserver/window/ModelPicker.h"

#include "rigserver/core/RigModelCatalogue.h"
#include "rigserver/core/RigSettings.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

namespace {

constexpr int ModelRole = Qt::UserRole + 1;  // the model number; absent on a maker's row
constexpr int SearchRole = Qt::UserRole + 2; // what a search is matched against

// Letters and digits only, so "ic7300", "IC 7300" and "IC-7300" all find "Icom IC-7300".
QString folded(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (c.isLetterOrNumber())
            out += c.toLower();
    return out;
}

// Numbers by value, so IC-703 comes before IC-7000, whatever the locale (QCollator ignores its numeric
// mode in the C locale).
bool naturalLess(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const qsizetype startA = i;
            const qsizetype startB = j;
            while (i < a.size() && a[i].isDigit())
                ++i;
            while (j < b.size() && b[j].isDigit())
                ++j;
            const qulonglong x = a.mid(startA, i - startA).toULongLong();
            const qulonglong y = b.mid(startB, j - startB).toULongLong();
            if (x != y)
                return x < y;
            continue;
        }
        const QChar x = a[i].toLower();
        const QChar y = b[j].toLower();
        if (x != y)
            return x < y;
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

QString hamlibName(const RigModel &entry)
{
    return QString::fromStdString(entry.manufacturer + " " + entry.name);
}

QString portText(const RigModel &entry)
{
    switch (entry.port) {
    case RigModel::Port::Serial:
        return entry.serialRateMin == entry.serialRateMax
                   ? QStringLiteral("serial, %1 baud").arg(entry.serialRateMax)
                   : QStringLiteral("serial, %1 to %2 baud").arg(entry.serialRateMin).arg(entry.serialRateMax);
    case RigModel::Port::Network:
        return QStringLiteral("network");
    case RigModel::Port::Device:
        return QStringLiteral("device file");
    case RigModel::Port::Usb:
        return QStringLiteral("USB");
    case RigModel::Port::Other:
        return QStringLiteral("other port");
    case RigModel::Port::None:
        break;
    }
    return QStringLiteral("no port");
}

QString summary(const RigModelCatalogue &models, int model)
{
    switch (model) {
    case RigSettings::NoRig:
        return QStringLiteral("No radio: the rig shows as not configured.");
    case RigSettings::DummyModel:
        return QStringLiteral("A simulated radio, for trying things out.");
    case RigSettings::RigctldModel:
        return QStringLiteral("A radio that rigctld shares, on this computer or another.");
    default:
        break;
    }
    const RigModel *entry = models.find(model);
    if (!entry)
        return QStringLiteral("Hamlib model %1 · not known to this Hamlib").arg(model);
    return QStringLiteral("Hamlib model %1 · %2").arg(model).arg(portText(*entry));
}

QList<QStandardItem *> modelRow(const QString &text, int model, const QString &searchText)
{
    auto *name = new QStandardItem(text);
    name->setData(model, ModelRole);
    name->setData(folded(searchText), SearchRole);
    auto *number = new QStandardItem(QString::number(model));
    number->setData(model, ModelRole);
    number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    number->setForeground(QPalette().color(QPalette::PlaceholderText));
    number->setToolTip(QStringLiteral("Hamlib model number (rigctl -m %1)").arg(model));
    return {name, number};
}

} // namespace

// Keeps the models whose search text holds every typed word; a maker's row stays while one of its models does.
class ModelFilter final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setQuery(const QString &text)
    {
        m_words.clear();
        for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            if (const QString f = folded(word); !f.isEmpty())
                m_words << f;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        const QModelIndex index = sourceModel()->index(row, 0, parent);
        const QVariant model = index.data(ModelRole);
        if (!model.isValid())
            return m_words.isEmpty(); // a maker: shown for its matching models
        const QString text = index.data(SearchRole).toString();
        const QString number = QString::number(model.toInt());
        return std::all_of(m_words.begin(), m_words.end(),
                           [&](const QString &word) { return text.contains(word) || word == number; });
    }

private:
    QStringList m_words;
};

ModelPicker::ModelPicker(const RigModelCatalogue &models, QWidget *parent)
    : QWidget(parent), m_models(models), m_search(new QLineEdit(this)), m_noMatch(new QLabel(this)),
      m_view(new QTreeView(this)), m_chosen(new QLabel(this)), m_items(new QStandardItemModel(this)),
      m_filter(new ModelFilter(this))
{
    m_search->setObjectName(QStringLiteral("ModelSearch"));
    m_search->setPlaceholderText(QStringLiteral("Search: IC-7300, FT-991, TS-590, K3, dummy, rigctld ..."));
    m_search->setClearButtonEnabled(true);
    m_search->installEventFilter(this);
    m_noMatch->setObjectName(QStringLiteral("ModelNoMatch"));
    m_noMatch->hide();

    addItems();
    m_filter->setSourceModel(m_items);
    m_filter->setRecursiveFilteringEnabled(true);
    m_view->setObjectName(QStringLiteral("ModelList"));
    m_view->setModel(m_filter);
    m_view->setHeaderHidden(true);
    m_view->setUniformRowHeights(true);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setExpandsOnDoubleClick(false);
    m_view->header()->setStretchLastSection(false);
    m_view->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_view->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    m_chosen->setObjectName(QStringLiteral("ModelChosen"));
    m_chosen->setTextFormat(Qt::RichText);
    m_chosen->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_search);
    layout->addWidget(m_noMatch);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_chosen);

    connect(m_search, &QLineEdit::textChanged, this, &ModelPicker::search);
    // A click chooses a model; on a maker it opens or closes the maker, there is nothing else to do with one.
    connect(m_view, &QTreeView::clicked, this, [this](const QModelIndex &index) {
        const QModelIndex first = index.siblingAtColumn(0);
        if (!chooseRow(first))
            m_view->setExpanded(first, !m_view->isExpanded(first));
    });
    // Enter (or a double click) on a row.
    connect(m_view, &QTreeView::activated, this, [this](const QModelIndex &index) {
        if (chooseRow(index))
            emit choiceMade();
    });
    search({});
    showChoice();
}

QString ModelPicker::displayName(const RigModelCatalogue &models, int model)
{
    switch (model) {
    case RigSettings::NoRig:
        return QStringLiteral("NONE (no rig)");
    case RigSettings::RigctldModel:
        return QStringLiteral("rigctld (network)");
    default:
        break;
    }
    const RigModel *entry = models.find(model);
    return entry ? hamlibName(*entry) : QStringLiteral("Model %1").arg(model);
}

void ModelPicker::addItems()
{
    const auto pin = [this](int model, const QString &searchText) {
        const QString name = displayName(m_models, model);
        const auto row = modelRow(name, model, name + " " + searchText);
        m_rows[model] = row.front();
        m_items->appendRow(row);
    };
    pin(RigSettings::NoRig, QStringLiteral("not configured"));
    pin(RigSettings::DummyModel, QStringLiteral("simulated"));
    pin(RigSettings::RigctldModel, QStringLiteral("Hamlib NET rigctl rigctld"));

    std::map<QString, std::vector<const RigModel *>, decltype(&naturalLess)> makers(&naturalLess);
    for (const RigModel &entry : m_models.models())
        if (entry.model != RigSettings::DummyModel && entry.model != RigSettings::RigctldModel)
            makers[QString::fromStdString(entry.manufacturer)].push_back(&entry);

    for (auto &[maker, entries] : makers) {
        std::sort(entries.begin(), entries.end(), [&](const RigModel *a, const RigModel *b) {
            return naturalLess(QString::fromStdString(a->name), QString::fromStdString(b->name));
        });
        auto *group = new QStandardItem(maker);
        QFont bold = group->font();
        bold.setBold(true);
        group->setFont(bold);
        group->setSelectable(false);
        auto *blank = new QStandardItem;
        blank->setSelectable(false);
        for (const RigModel *entry : entries) {
            const auto row = modelRow(QString::fromStdString(entry->name), entry->model, hamlibName(*entry));
            m_rows[entry->model] = row.front();
            group->appendRow(row);
        }
        m_items->appendRow({group, blank});
    }
}

void ModelPicker::setModel(int model)
{
    m_model = model;
    m_search->clear();
    search({});
    showChoice();
}

void ModelPicker::search(const QString &text)
{
    m_filter->setQuery(text);
    const bool searching = !text.trimmed().isEmpty();
    if (searching) {
        m_view->expandAll();
    } else {
        m_view->collapseAll();
        if (const QModelIndex row = rowOf(m_model); row.isValid() && row.parent().isValid())
            m_view->expand(row.parent());
    }
    const QModelIndex first = firstMatch();
    m_noMatch->setText(QStringLiteral("No radio matches \"%1\".").arg(text.trimmed()));
    m_noMatch->setVisible(searching && !first.isValid());
    markRow();
}

void ModelPicker::choose(int model)
{
    if (model == m_model)
        return;
    m_model = model;
    showChoice();
    emit modelChanged(model);
}

bool ModelPicker::chooseRow(const QModelIndex &index)
{
    const QVariant model = index.siblingAtColumn(0).data(ModelRole);
    if (!model.isValid())
        return false;
    choose(model.toInt());
    return true;
}

void ModelPicker::showChoice()
{
    m_chosen->setText(
        QStringLiteral("<b>%1</b><br><small>%2</small>")
            .arg(displayName(m_models, m_model).toHtmlEscaped(), summary(m_models, m_model).toHtmlEscaped()));
    markRow();
}

void ModelPicker::markRow()
{
    // The row Enter would take: the chosen model's, else, while something is typed, the first match.
    QModelIndex row = rowOf(m_model);
    if (!row.isValid() && !m_search->text().trimmed().isEmpty())
        row = firstMatch();
    if (row.isValid()) {
        m_view->setCurrentIndex(row);
        m_view->scrollTo(row);
    } else {
        m_view->selectionModel()->clear();
    }
}

QModelIndex ModelPicker::rowOf(int model) const
{
    const auto it = m_rows.find(model);
    return it == m_rows.end() ? QModelIndex{} : m_filter->mapFromSource(it->second->index());
}

QModelIndex ModelPicker::firstMatch() const
{
    for (int row = 0; row < m_filter->rowCount(); ++row) {
        const QModelIndex index = m_filter->index(row, 0);
        if (index.data(ModelRole).isValid())
            return index;
        if (m_filter->rowCount(index) > 0)
            return m_filter->index(0, 0, index);
    }
    return {};
}

void ModelPicker::step(bool down)
{
    QModelIndex index = m_view->currentIndex().siblingAtColumn(0);
    if (!index.isValid()) {
        index = firstMatch();
    } else {
        do
            index = down ? m_view->indexBelow(index) : m_view->indexAbove(index);
        while (index.isValid() && !index.data(ModelRole).isValid());
    }
    if (index.isValid())
        m_view->setCurrentIndex(index);
}

bool ModelPicker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_search)
        return QWidget::eventFilter(watched, event);
    const auto *key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride
                          ? static_cast<QKeyEvent *>(event)
                          : nullptr;
    if (!key)
        return false;
    if (key->key() == Qt::Key_Escape && !m_search->text().isEmpty()) {
        // Escape first clears the search; only on an empty one does it reach the window (and cancel).
        if (event->type() == QEvent::ShortcutOverride)
            event->accept();
        else
            m_search->clear();
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    switch (key->key()) {
    case Qt::Key_Down:
    case Qt::Key_Up:
        step(key->key() == Qt::Key_Down);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Nothing to take while nothing matches: the search is still to be put right.
        if (chooseRow(m_view->currentIndex()))
            emit choiceMade();
        return true;
    default:
        return false;
    }
}
