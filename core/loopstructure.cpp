#include "loopstructure.h"

#include "loopendoperation.h"
#include "loopstartoperation.h"

#include <vector>

LoopStructure::LoopStructure(const QList<Operation*>& operations)
    : m_kind(operations.size(), Kind::Other), m_partner(operations.size(), -1),
      m_depth(operations.size(), 0)
{
    std::vector<int> openStarts;
    for (int row = 0; row < operations.size(); ++row) {
        const Operation* op = operations.at(row);
        if (qobject_cast<const LoopStartOperation*>(op)) {
            m_kind[row] = Kind::Start;
            m_depth[row] = int(openStarts.size());
            openStarts.push_back(row);
        } else if (qobject_cast<const LoopEndOperation*>(op)) {
            m_kind[row] = Kind::End;
            if (openStarts.empty()) {
                m_depth[row] = 0;
                continue; // unmatched; marked below
            }
            const int start = openStarts.back();
            openStarts.pop_back();
            m_partner[row] = start;
            m_partner[start] = row;
            m_depth[row] = int(openStarts.size());
        } else {
            m_depth[row] = int(openStarts.size());
        }
    }
    for (int row = 0; row < operations.size(); ++row) {
        if (isUnmatched(row)) {
            m_firstUnmatched = row;
            break;
        }
    }
}

bool LoopStructure::isUnmatched(int row) const
{
    return m_kind.value(row) != Kind::Other && m_partner.value(row, -1) < 0;
}

QString LoopStructure::problem() const
{
    if (isSound())
        return QString();
    const QString row = QString::number(m_firstUnmatched + 1);
    if (isLoopStart(m_firstUnmatched))
        return tr("第 %1 行的“重复开始”没有对应的“重复结束”，流程无法运行。").arg(row);
    return tr("第 %1 行的“重复结束”没有对应的“重复开始”，流程无法运行。").arg(row);
}

QString LoopStructure::problemInEnglish() const
{
    if (isSound())
        return QString();
    const QString row = QString::number(m_firstUnmatched + 1);
    if (isLoopStart(m_firstUnmatched))
        return QStringLiteral("the loop start in row %1 has no loop end").arg(row);
    return QStringLiteral("the loop end in row %1 has no loop start").arg(row);
}
