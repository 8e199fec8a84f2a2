#pragma once
// Readable text of recorded input batches, so that QCOMPARE shows which record differs.

#include "platform/input.h"

#include <QString>
#include <QStringList>

#include <vector>

inline QString describeInput(const platform::Input& in)
{
    if (in.type == platform::Input::Type::Mouse)
        return QStringLiteral("mouse(dx=%1 dy=%2 data=%3 flags=0x%4)")
            .arg(QString::number(in.mouse.dx), QString::number(in.mouse.dy),
                 QString::number(in.mouse.mouseData), QString::number(in.mouse.flags, 16));
    return QStringLiteral("key(vk=%1 scan=0x%2 flags=%3)")
        .arg(QString::number(in.keyboard.vk), QString::number(in.keyboard.scan, 16),
             QString::number(in.keyboard.flags));
}

// One line per sendInput call, records separated by " | ".
inline QStringList describeBatches(const std::vector<std::vector<platform::Input>>& batches)
{
    QStringList lines;
    for (const auto& batch : batches) {
        QStringList records;
        for (const platform::Input& in : batch)
            records << describeInput(in);
        lines << records.join(QStringLiteral(" | "));
    }
    return lines;
}
