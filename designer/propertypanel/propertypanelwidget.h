#pragma once
// The content of the designer's property dock: one property tree that lists the
// properties of the selected operation, or of the flow itself, and edits them.

#include <QWidget>

#include <memory>

class KliqoraPropertyBrowser;

namespace Ui {
class PropertyPanelWidgetClass;
}

class PropertyPanelWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PropertyPanelWidget(QWidget* parent = nullptr);
    ~PropertyPanelWidget() override;

    // The tree; its sigValueChanged(QModelIndex, QModelIndex, QVector<int>) is emitted
    // after every edit written into the shown object.
    KliqoraPropertyBrowser* propertyBrowser() const;
    // The object whose properties are shown (not owned), or null.
    QObject* currentObject() const;

public slots:
    // Lists the properties of `object` (null: an empty panel). Showing the object
    // already shown keeps its rows as they are.
    void showObject(QObject* object);

private:
    std::unique_ptr<Ui::PropertyPanelWidgetClass> ui;
};
