#pragma once
// How a fuzz input or seed for the drop target is laid out: a header that chooses
// the payload's type and where it is dropped, then the payload's bytes.

#include <QByteArray>

namespace fuzz {
// Header bits of the first byte.
constexpr char DropMoveRow = 0x01; // the row payload; otherwise the new-operation payload
constexpr char DropOnItem = 0x02;  // dropped onto a row (valid parent index)
constexpr int DropHeaderBytes = 2; // flags, then the row as a signed byte
constexpr int DropModelRows = 3;   // rows in the model before the drop

inline QByteArray dropInput(char flags, signed char row, const QByteArray& payload)
{
    QByteArray input;
    input.append(flags);
    input.append(char(row));
    input.append(payload);
    return input;
}
} // namespace fuzz
