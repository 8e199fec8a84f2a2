#pragma once
// The operations of the flow being edited as the rows of a four-column table, plus
// the two drag-and-drop payloads of the designer: a new operation from the palette
// and a row moved inside the table. Every change is announced once by sigDataChanged.

#include "loopstructure.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <optional>

class Flow;
class Operation;

class OperationModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static const QString AddOperationMimeType; // "application/x-add-operation-to-table"
    static const QString MoveRowMimeType;      // "application/x-move-row-in-operation-table"

    // clang-format off
    enum Column { ColumnType = 0, ColumnDescription = 1, ColumnInterval = 2, ColumnEdit = 3,
                  ColumnCount = 4 };
    // clang-format on

    explicit OperationModel(QObject* parent = nullptr);
    ~OperationModel() override;

    Flow* flow() const { return m_flow; }
    QString filePath() const { return m_filePath; }
    void setFilePath(const QString& path) { m_filePath = path; }

    // Inserts `op` (taking ownership) at `row` if 0 <= row <= rowCount(); otherwise
    // nothing happens and the caller keeps the operation.
    bool insertOperation(int row, Operation* op);
    // Takes the row out of the flow and deletes its operation.
    bool removeOperation(int row);
    Operation* operationAt(int row) const;
    // The loop pairs of the rows as they stand now.
    const LoopStructure& loops() const;
    // Spaces in front of a row's type per enclosing repeated part.
    static constexpr int IndentPerLevel = 4;

    // The payloads, byte for byte as the palette and the model write them.
    static QByteArray addPayload(const QString& typeId, const QString& displayName);
    static QByteArray movePayload(qint32 sourceRow);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    Qt::DropActions supportedDropActions() const override;

signals:
    void sigDataChanged();

private:
    void dropAddOperation(const QByteArray& payload, int toRow);
    void dropMoveRow(const QByteArray& payload, int toRow);
    QVariant typeCell(int row, const Operation* op, int role) const;
    void repaintLoopRows();

    Flow* m_flow;
    QString m_filePath;
    // Worked out again whenever the list differs from the one it was made from (an
    // unchanged list shares its data, so the check costs nothing).
    mutable std::optional<LoopStructure> m_loops;
    mutable QList<Operation*> m_loopsFor;
    bool m_hadLoopMarkers = false;
    bool m_repaintingTypes = false; // a repaint of the type column, not a change
};
