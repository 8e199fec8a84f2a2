#include "widgetprobe.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QToolButton>
#include <QWidget>

#include <algorithm>

namespace {

// One thing a path segment names: a widget, a row of an item view, or one item.
struct Element
{
    QWidget* widget = nullptr;
    QAbstractItemView* view = nullptr;
    int row = -1;      // a row of `view`
    QModelIndex index; // an item of `view`

    static Element ofWidget(QWidget* widget) { return {widget, nullptr, -1, QModelIndex()}; }
    static Element ofRow(QAbstractItemView* view, int row) { return {nullptr, view, row, {}}; }
    static Element ofItem(QAbstractItemView* view, const QModelIndex& index)
    {
        return {nullptr, view, -1, index};
    }

    bool isWidget() const { return widget != nullptr; }
    bool isRow() const { return view && row >= 0; }
    bool operator==(const Element& other) const
    {
        return widget == other.widget && view == other.view && row == other.row &&
               index == other.index;
    }
};

const QRegularExpression RowName(QStringLiteral("^row(\\d+)$"));
const QRegularExpression ColumnName(QStringLiteral("^col(\\d+)$"));

void addUnique(QVector<Element>& into, const Element& element)
{
    if (!into.contains(element))
        into.append(element);
}

// The button a tool bar or ribbon shows `action` with.
QWidget* buttonOf(const QAction* action)
{
    const QList<QWidget*> widgets = action->associatedWidgets();
    const auto button = std::find_if(widgets.cbegin(), widgets.cend(), [action](QWidget* widget) {
        const auto* toolButton = qobject_cast<QToolButton*>(widget);
        return toolButton && toolButton->defaultAction() == action;
    });
    return button == widgets.cend() ? nullptr : *button;
}

// The descendants of `root` with that name: widgets, and the buttons of actions.
void addDescendantsNamed(QVector<Element>& into, const QWidget* root, const QString& name)
{
    for (QWidget* widget : root->findChildren<QWidget*>(name))
        addUnique(into, Element::ofWidget(widget));
    for (const QAction* action : root->findChildren<QAction*>(name)) {
        if (QWidget* button = buttonOf(action))
            addUnique(into, Element::ofWidget(button));
    }
}

void addNamedWithin(QVector<Element>& into, QWidget* root, const QString& name)
{
    if (root->objectName() == name)
        addUnique(into, Element::ofWidget(root));
    addDescendantsNamed(into, root, name);
}

void addItemsNamed(QVector<Element>& into, QAbstractItemView* view, const QModelIndex& parent,
                   const QString& name)
{
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        if (model->data(index, Qt::UserRole).toString() == name)
            addUnique(into, Element::ofItem(view, index));
        addItemsNamed(into, view, index, name);
    }
}

QVector<Element> matchesEverywhere(const QString& name)
{
    QVector<Element> found;
    for (QWidget* window : QApplication::topLevelWidgets())
        addNamedWithin(found, window, name);
    return found;
}

QVector<Element> matchesBelowView(QAbstractItemView* view, const QString& name)
{
    QVector<Element> found;
    const QModelIndex root = view->rootIndex();
    const QRegularExpressionMatch row = RowName.match(name);
    if (row.hasMatch()) {
        const int number = row.captured(1).toInt();
        if (view->model() && number < view->model()->rowCount(root))
            found.append(Element::ofRow(view, number));
        return found;
    }
    if (view->model())
        addItemsNamed(found, view, root, name);
    addDescendantsNamed(found, view, name);
    return found;
}

QVector<Element> matchesBelowRow(const Element& rowElement, const QString& name)
{
    QVector<Element> found;
    QAbstractItemView* view = rowElement.view;
    const QAbstractItemModel* model = view->model();
    const QModelIndex root = view->rootIndex();
    const QRegularExpressionMatch column = ColumnName.match(name);
    if (column.hasMatch()) {
        const int number = column.captured(1).toInt();
        if (number < model->columnCount(root))
            found.append(Element::ofItem(view, model->index(rowElement.row, number, root)));
        return found;
    }
    for (int c = 0; c < model->columnCount(root); ++c) {
        if (QWidget* cell = view->indexWidget(model->index(rowElement.row, c, root)))
            addNamedWithin(found, cell, name);
    }
    return found;
}

QVector<Element> matchesBelow(const Element& parent, const QString& name)
{
    if (parent.isRow())
        return matchesBelowRow(parent, name);
    if (!parent.isWidget()) { // an item: its own items and the widget placed on it
        QVector<Element> found;
        addItemsNamed(found, parent.view, parent.index, name);
        if (QWidget* cell = parent.view->indexWidget(parent.index))
            addNamedWithin(found, cell, name);
        return found;
    }
    if (auto* view = qobject_cast<QAbstractItemView*>(parent.widget))
        return matchesBelowView(view, name);
    QVector<Element> found;
    addDescendantsNamed(found, parent.widget, name);
    return found;
}

QString shownText(const QWidget* widget)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    if (const auto* spinBox = qobject_cast<const QAbstractSpinBox*>(widget))
        return spinBox->text();
    if (const auto* comboBox = qobject_cast<const QComboBox*>(widget))
        return comboBox->currentText();
    return widget->isWindow() ? widget->windowTitle() : QString();
}

// `rect` (in `widget`'s coordinates) on the screen, in the screen's own pixels.
QRect globalRect(const QWidget* widget, const QRect& rect)
{
    const qreal ratio = widget->devicePixelRatioF();
    const QPoint topLeft = widget->mapToGlobal(rect.topLeft());
    return QRect(QPoint(qRound(topLeft.x() * ratio), qRound(topLeft.y() * ratio)),
                 QSize(qRound(rect.width() * ratio), qRound(rect.height() * ratio)));
}

void putRect(QJsonObject& answer, const QRect& rect)
{
    answer.insert(QLatin1String(WidgetProbe::XKey), rect.x());
    answer.insert(QLatin1String(WidgetProbe::YKey), rect.y());
    answer.insert(QLatin1String(WidgetProbe::WidthKey), rect.width());
    answer.insert(QLatin1String(WidgetProbe::HeightKey), rect.height());
}

QJsonObject describeWidget(const QWidget* widget)
{
    QJsonObject answer{{QLatin1String(WidgetProbe::FoundKey), true},
                       {QLatin1String(WidgetProbe::VisibleKey), widget->isVisible()},
                       {QLatin1String(WidgetProbe::EnabledKey), widget->isEnabled()}};
    putRect(answer, globalRect(widget, widget->rect()));
    const QString text = shownText(widget);
    if (!text.isNull())
        answer.insert(QLatin1String(WidgetProbe::TextKey), text);
    if (const auto* view = qobject_cast<const QAbstractItemView*>(widget)) {
        const int rows = view->model() ? view->model()->rowCount(view->rootIndex()) : 0;
        answer.insert(QLatin1String(WidgetProbe::RowsKey), rows);
    }
    return answer;
}

// A row or an item: where it shows inside the view's viewport (nothing when it is
// scrolled away or folded in).
QJsonObject describeItems(const Element& element)
{
    QAbstractItemView* view = element.view;
    const QAbstractItemModel* model = view->model();
    QModelIndex first = element.index;
    QRect area = view->visualRect(element.index);
    if (element.isRow()) {
        first = model->index(element.row, 0, view->rootIndex());
        area = QRect();
        for (int c = 0; c < model->columnCount(view->rootIndex()); ++c)
            area |= view->visualRect(model->index(element.row, c, view->rootIndex()));
    }
    const QRect shown = area & view->viewport()->rect();
    QJsonObject answer{
        {QLatin1String(WidgetProbe::FoundKey), true},
        {QLatin1String(WidgetProbe::VisibleKey), view->isVisible() && !shown.isEmpty()},
        {QLatin1String(WidgetProbe::EnabledKey),
         view->isEnabled() && (model->flags(first) & Qt::ItemIsEnabled)},
        {QLatin1String(WidgetProbe::TextKey), model->data(first, Qt::DisplayRole).toString()}};
    putRect(answer, globalRect(view->viewport(), shown));
    if (!element.isRow())
        answer.insert(QLatin1String(WidgetProbe::RowsKey), model->rowCount(element.index));
    return answer;
}

QJsonObject notFound(const QString& error)
{
    return {{QLatin1String(WidgetProbe::FoundKey), false},
            {QLatin1String(WidgetProbe::ErrorKey), error}};
}

} // namespace

QJsonObject WidgetProbe::describe(const QString& path)
{
    if (path.isEmpty())
        return notFound(QStringLiteral("no name given"));
    const QStringList names = path.split(QLatin1Char('/'));
    Element current;
    for (int i = 0; i < names.size(); ++i) {
        const QString& name = names.at(i);
        const QVector<Element> matches =
            i == 0 ? matchesEverywhere(name) : matchesBelow(current, name);
        if (matches.size() != 1) {
            return notFound(QStringLiteral("%1 matches for \"%2\" in \"%3\"")
                                .arg(matches.size())
                                .arg(name, path));
        }
        current = matches.first();
    }
    return current.isWidget() ? describeWidget(current.widget) : describeItems(current);
}
