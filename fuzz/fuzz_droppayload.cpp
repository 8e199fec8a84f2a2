// The designer's two drag-and-drop payloads, "application/x-add-operation-to-table"
// and "application/x-move-row-in-operation-table", dropped on the operation table's
// model at a chosen row. A drop adds at most one row, a move keeps every operation
// exactly once, and whatever the payload the model stays consistent.

#include "dropformat.h"
#include "flow.h"
#include "fuzzsupport.h"
#include "operation.h"
#include "operationfactory.h"
#include "operationmodel.h"

#include <QMimeData>
#include <QSet>

#include <memory>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    OperationFactory::instance()->registerBuiltinOperations();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < size_t(fuzz::DropHeaderBytes))
        return 0;
    const char flags = char(data[0]);
    const int row = static_cast<signed char>(data[1]);
    const QByteArray payload(reinterpret_cast<const char*>(data) + fuzz::DropHeaderBytes,
                             int(size) - fuzz::DropHeaderBytes);

    OperationModel model;
    QSet<const Operation*> before;
    const QStringList types = OperationFactory::instance()->registeredPrototypes().keys();
    for (int i = 0; i < fuzz::DropModelRows; ++i) {
        Operation* op = OperationFactory::instance()->create(types.at(i % types.size()));
        if (!model.insertOperation(i, op))
            fuzz::fail("setup insert refused");
        before.insert(op);
    }

    const bool move = flags & fuzz::DropMoveRow;
    auto mime = std::make_unique<QMimeData>();
    mime->setData(move ? OperationModel::MoveRowMimeType : OperationModel::AddOperationMimeType,
                  payload);
    const QModelIndex parent = (flags & fuzz::DropOnItem) ? model.index(row, 0) : QModelIndex();
    model.dropMimeData(mime.get(), move ? Qt::MoveAction : Qt::CopyAction, row, 0, parent);

    const QList<Operation*>& ops = model.flow()->operations();
    if (model.rowCount() != ops.size())
        fuzz::fail("row count and flow disagree");
    if (move && ops.size() != fuzz::DropModelRows)
        fuzz::fail("a move changed the number of rows");
    if (ops.size() < fuzz::DropModelRows || ops.size() > fuzz::DropModelRows + 1)
        fuzz::fail("a drop added more than one row");
    int kept = 0;
    for (const Operation* op : ops) {
        if (!op)
            fuzz::fail("empty row after a drop");
        kept += before.contains(op) ? 1 : 0;
        for (int column = 0; column < OperationModel::ColumnCount; ++column)
            (void)model.data(model.index(ops.indexOf(const_cast<Operation*>(op)), column));
    }
    if (kept != fuzz::DropModelRows ||
        QSet<const Operation*>(ops.cbegin(), ops.cend()).size() != ops.size())
        fuzz::fail("an operation was lost or duplicated");
    return 0;
}
