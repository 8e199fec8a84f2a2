#pragma once
// Creates operations by type id ("mouse_click", "mouse_move", "key_input",
// "text_input", "mouse_wheel", "loop_start", "loop_end", "wait_color") by cloning a
// registered default-valued prototype.

#include <QMap>
#include <QObject>
#include <QString>

class Operation;

class OperationFactory : public QObject
{
    Q_OBJECT

public:
    static OperationFactory* instance();

    // Stores the prototype under its typeId(), replacing an earlier one, and takes
    // ownership. Prototypes, replaced ones included, live as long as the factory.
    void registerOperation(Operation* prototype);
    // The built-in types, each with default values.
    void registerBuiltinOperations();

    // A new default-valued operation owned by `parent`; null for an id that is not
    // registered (the comparison is exact and case-sensitive).
    Operation* create(const QString& typeId, QObject* parent = nullptr) const;

    // The registered prototypes by type id (ascending), e.g. to list them in a palette.
    const QMap<QString, Operation*>& registeredPrototypes() const { return prototypes; }

private:
    OperationFactory() = default;

    QMap<QString, Operation*> prototypes;
};
