#pragma once
// Which loop start belongs to which loop end in a list of operations, matched like
// brackets. The runner works from it, the designer indents rows and marks unmatched
// ones with it, and every runner refuses a flow whose pairs do not match.

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QVector>

class Operation;

class LoopStructure
{
    Q_DECLARE_TR_FUNCTIONS(LoopStructure)

public:
    explicit LoopStructure(const QList<Operation*>& operations);

    // For a loop start or end, the row of its partner; -1 when it has none or when the
    // row is no loop marker.
    int partner(int row) const { return m_partner.value(row, -1); }
    // How many repeated parts enclose the row (a marker counts at its own level).
    int depth(int row) const { return m_depth.value(row, 0); }
    // A loop start or end without a partner.
    bool isUnmatched(int row) const;
    bool isLoopStart(int row) const { return m_kind.value(row) == Kind::Start; }
    bool isLoopEnd(int row) const { return m_kind.value(row) == Kind::End; }

    // Every start has its end: the flow may run.
    bool isSound() const { return m_firstUnmatched < 0; }
    // Why the flow cannot run, for the user (translated); empty when it can.
    QString problem() const;
    // The same in English, for logs and the command line.
    QString problemInEnglish() const;

private:
    enum class Kind : char
    {
        Other,
        Start,
        End
    };

    QVector<Kind> m_kind;
    QVector<int> m_partner;
    QVector<int> m_depth;
    int m_firstUnmatched = -1;
};
