#pragma once
// Base of every flow operation: a pause (`interval` ms) followed by one piece of
// synthesised input. Properties and class information describe the fields to the
// designer's property panel, which edits any operation without knowing its type.

#include <QObject>
#include <QString>

class QDataStream;

class Operation : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int interval READ interval WRITE setInterval)
    Q_CLASSINFO("prop_interval", QT_TR_NOOP("执行间隔（毫秒）"))

public:
    explicit Operation(QObject* parent = nullptr);
    ~Operation() override;

    virtual QString category() const = 0;
    virtual QString typeId() const = 0;
    virtual QString displayName() const = 0;
    virtual QString iconPath() const = 0;
    // Sends the input now, without the pause.
    virtual void execute() = 0;
    // Fields only; the type id is written by the flow file in front of them.
    virtual void serialize(QDataStream& out) const = 0;
    virtual void deserialize(QDataStream& in) = 0;
    // English one-line text for the log, starting with displayName() and ": ".
    virtual QString toString() const = 0;
    // Translated one-line text for the user.
    virtual QString description() const = 0;
    // A new object of the same type with every field equal, owned by `parent`.
    virtual Operation* clone(QObject* parent = nullptr) const = 0;

    // Pauses `interval` ms (ended early when AppConfig::runFlag is cleared), then
    // executes if the flag is still set.
    void run();

    // The same as one step of a flow: false when the flow must end here (the run was
    // stopped, or the operation itself asks the flow to end).
    bool runStep();

    int interval() const { return m_interval; }
    void setInterval(int ms) { m_interval = ms; }

    // Interval of newly constructed operations: 0 in the main program; the designer
    // sets 50 once at start-up, because new operations are created there.
    static void setDefaultInterval(int ms);
    static int defaultInterval();

protected:
    // The input of one flow step; false ends the flow. Most operations always go on.
    virtual bool executeStep();

    void serializeOperation(QDataStream& out) const;
    void deserializeOperation(QDataStream& in);
    void copyOperationFieldsTo(Operation* other) const;

private:
    int m_interval;
};
