#pragma once
// Lists the Qt properties of one object as rows of a property tree and writes every
// edit back through the property's setter. The object's class information drives
// the rows: "prop_<name>" is a row's label, "editor_<name>" (COMBO, FLAG, SPINBOX)
// its kind, with "choices_<name>", "flagnames_<name>" ("|"-separated) and
// "range_<name>" ("min-max") as the kind's details. Labels and choices are shown
// translated (mark them QT_TR_NOOP in Q_CLASSINFO). An object with a "color" property
// takes the colour under a point picked for it.

#include <QMap>
#include <QMetaProperty>
#include <QModelIndex>
#include <QPointer>
#include <QVector>
#include <QWidget>

class OperationEditorFactory;
class OperationPropertyBrowser;
class QtProperty;
class QtVariantProperty;
class QtVariantPropertyManager;

class KliqoraPropertyBrowser : public QWidget
{
    Q_OBJECT

public:
    explicit KliqoraPropertyBrowser(QWidget* parent = nullptr);
    ~KliqoraPropertyBrowser() override;

    // Empties the tree; no object is shown afterwards.
    void clearProperties();
    // Fills the tree with the readable properties of `object` (not owned), which
    // becomes the shown object. Loading writes nothing into it.
    void loadObject(QObject* object);

    QObject* currentObject() const { return m_object; }
    OperationPropertyBrowser* tree() const { return m_tree; }
    QtVariantPropertyManager* manager() const { return m_manager; }

signals:
    // After each edit written into the object; both indexes invalid, roles empty, so
    // it can drive a model's dataChanged (the whole table repaints).
    void sigValueChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                         const QVector<int>& roles);

private slots:
    void onValueChanged(QtProperty* prop, const QVariant& value);
    void onColorPicked(quint32 rgb);

private:
    QtVariantProperty* createRow(const QMetaObject* meta, const QMetaProperty& property,
                                 const QVariant& value);
    void onObjectDestroyed();

    OperationPropertyBrowser* m_tree;
    QtVariantPropertyManager* m_manager;
    OperationEditorFactory* m_factory;
    // Cleared by Qt when the object dies, so an edit never reaches a deleted object.
    QPointer<QObject> m_object;
    QMap<QtProperty*, QMetaProperty> m_rows;
};
