#include "operationmodel.h"

#include "flow.h"
#include "logcategory.h"
#include "operation.h"
#include "operationfactory.h"

#include <QColor>
#include <QDataStream>
#include <QIODevice>
#include <QIcon>
#include <QMimeData>

const QString OperationModel::AddOperationMimeType =
    QStringLiteral("application/x-add-operation-to-table");
const QString OperationModel::MoveRowMimeType =
    QStringLiteral("application/x-move-row-in-operation-table");

namespace {
// Written by mimeData() for an empty selection; never a valid source row.
constexpr qint32 NoSourceRow = -1;

// The payloads keep the Qt 5.15 stream format whatever Qt the designer is built with.
void preparePayloadStream(QDataStream& stream)
{
    stream.setVersion(QDataStream::Qt_5_15);
    stream.setByteOrder(QDataStream::BigEndian);
}
// The type of a loop marker without its partner.
constexpr QRgb UnmatchedColor = 0xd93025;
} // namespace

OperationModel::OperationModel(QObject* parent)
    : QAbstractTableModel(parent), m_flow(new Flow(this))
{
    // One announcement per notification: the window turns it into the modified state.
    connect(this, &QAbstractItemModel::dataChanged, this, [this] {
        if (!m_repaintingTypes)
            emit sigDataChanged();
    });
    connect(this, &QAbstractItemModel::rowsInserted, this, &OperationModel::sigDataChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &OperationModel::sigDataChanged);
    connect(this, &QAbstractItemModel::rowsMoved, this, &OperationModel::sigDataChanged);
    connect(this, &QAbstractItemModel::columnsInserted, this, &OperationModel::sigDataChanged);
    connect(this, &QAbstractItemModel::columnsRemoved, this, &OperationModel::sigDataChanged);
    connect(this, &QAbstractItemModel::headerDataChanged, this, &OperationModel::sigDataChanged);
    // A row that comes, goes or moves can change the indentation and marks of others.
    connect(this, &QAbstractItemModel::rowsInserted, this, &OperationModel::repaintLoopRows);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &OperationModel::repaintLoopRows);
    connect(this, &QAbstractItemModel::rowsMoved, this, &OperationModel::repaintLoopRows);
}

void OperationModel::repaintLoopRows()
{
    bool hasMarkers = false;
    const LoopStructure& structure = loops();
    for (int row = 0; row < rowCount() && !hasMarkers; ++row)
        hasMarkers = structure.isLoopStart(row) || structure.isLoopEnd(row);
    const bool hadMarkers = m_hadLoopMarkers;
    m_hadLoopMarkers = hasMarkers;
    if ((!hasMarkers && !hadMarkers) || rowCount() == 0)
        return;
    // The change itself was announced already; this only refreshes what views show.
    m_repaintingTypes = true;
    emit dataChanged(index(0, ColumnType), index(rowCount() - 1, ColumnType));
    m_repaintingTypes = false;
}

OperationModel::~OperationModel()
{
    delete m_flow;
}

bool OperationModel::insertOperation(int row, Operation* op)
{
    if (!op || row < 0 || row > rowCount())
        return false;
    beginInsertRows(QModelIndex(), row, row);
    op->setParent(m_flow);
    m_flow->operations().insert(row, op);
    endInsertRows();
    return true;
}

bool OperationModel::removeOperation(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    beginRemoveRows(QModelIndex(), row, row);
    Operation* op = m_flow->operations().takeAt(row);
    endRemoveRows();
    delete op;
    return true;
}

Operation* OperationModel::operationAt(int row) const
{
    const QList<Operation*>& ops = m_flow->operations();
    return row >= 0 && row < ops.size() ? ops.at(row) : nullptr;
}

QByteArray OperationModel::addPayload(const QString& typeId, const QString& displayName)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    preparePayloadStream(out);
    out << typeId << displayName;
    return bytes;
}

QByteArray OperationModel::movePayload(qint32 sourceRow)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    preparePayloadStream(out);
    out << sourceRow;
    return bytes;
}

int OperationModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_flow->operations().size();
}

int OperationModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

const LoopStructure& OperationModel::loops() const
{
    const QList<Operation*>& ops = m_flow->operations();
    if (!m_loops || m_loopsFor != ops) {
        m_loops.emplace(ops);
        m_loopsFor = ops;
    }
    return *m_loops;
}

QVariant OperationModel::typeCell(int row, const Operation* op, int role) const
{
    const LoopStructure& structure = loops();
    switch (role) {
    case Qt::DisplayRole: {
        const QString indent(structure.depth(row) * IndentPerLevel, QLatin1Char(' '));
        return QString(indent + op->displayName());
    }
    case Qt::ForegroundRole:
        return structure.isUnmatched(row) ? QVariant(QColor(UnmatchedColor)) : QVariant();
    case Qt::DecorationRole:
        return structure.isUnmatched(row)
                   ? QVariant(QIcon(QStringLiteral(":/optable/res/images/optable/unmatched.svg")))
                   : QVariant();
    case Qt::ToolTipRole:
        if (!structure.isUnmatched(row))
            return QVariant();
        return structure.isLoopStart(row) ? tr("没有对应的“重复结束”，流程无法运行")
                                          : tr("没有对应的“重复开始”，流程无法运行");
    default:
        return QVariant();
    }
}

QVariant OperationModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const Operation* op = operationAt(index.row());
    if (!op)
        return QVariant();
    if (index.column() == ColumnType)
        return typeCell(index.row(), op, role);
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (index.column()) {
    case ColumnDescription:
        return op->description();
    case ColumnInterval:
        return op->interval();
    default:
        return QVariant();
    }
}

QVariant OperationModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case ColumnType:
        return tr("操作类型");
    case ColumnDescription:
        return tr("描述");
    case ColumnInterval:
        return tr("执行间隔（毫秒）");
    case ColumnEdit:
        return tr("编辑");
    default:
        return QAbstractTableModel::headerData(section, orientation, role);
    }
}

Qt::ItemFlags OperationModel::flags(const QModelIndex& index) const
{
    const Qt::ItemFlags base = QAbstractTableModel::flags(index);
    if (index.isValid())
        return base | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    return base | Qt::ItemIsDropEnabled;
}

QStringList OperationModel::mimeTypes() const
{
    return {AddOperationMimeType, MoveRowMimeType};
}

QMimeData* OperationModel::mimeData(const QModelIndexList& indexes) const
{
    auto* mime = new QMimeData;
    const qint32 source = indexes.isEmpty() ? NoSourceRow : qint32(indexes.first().row());
    mime->setData(MoveRowMimeType, movePayload(source));
    return mime;
}

bool OperationModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                  int /*column*/, const QModelIndex& parent)
{
    if (action == Qt::IgnoreAction)
        return true;
    if (!data)
        return false;
    int toRow = parent.isValid() ? parent.row() : row;
    if (toRow < 0)
        toRow = rowCount();
    qCDebug(logCategory()) << "row = " << row << "parent.row()=" << parent.row()
                           << "toRow=" << toRow;

    if (data->hasFormat(AddOperationMimeType)) {
        dropAddOperation(data->data(AddOperationMimeType), toRow);
        return true;
    }
    if (data->hasFormat(MoveRowMimeType)) {
        dropMoveRow(data->data(MoveRowMimeType), toRow);
        return true;
    }
    return false;
}

void OperationModel::dropAddOperation(const QByteArray& payload, int toRow)
{
    QDataStream in(payload);
    preparePayloadStream(in);
    QString typeId;
    QString displayName; // carried for the record; the factory knows the name
    in >> typeId >> displayName;
    Operation* op = OperationFactory::instance()->create(typeId, this);
    if (op && !insertOperation(toRow, op))
        delete op;
}

void OperationModel::dropMoveRow(const QByteArray& payload, int toRow)
{
    QDataStream in(payload);
    preparePayloadStream(in);
    qint32 source = NoSourceRow;
    in >> source;
    const int count = rowCount();
    if (source < 0 || source >= count)
        return;
    if (source < toRow)
        --toRow; // now the final position of the moved row
    if (source == toRow || toRow < 0 || toRow >= count)
        return;
    const int destination = toRow > source ? toRow + 1 : toRow;
    beginMoveRows(QModelIndex(), source, source, QModelIndex(), destination);
    m_flow->operations().move(source, toRow);
    endMoveRows();
}

Qt::DropActions OperationModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}
