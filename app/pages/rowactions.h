#pragma once
// The delete confirmation and the "more" menu that the row buttons of the flow and
// recording tables share. Both run an event loop, during which rows may be removed
// or reordered, so each finds the button's row again afterwards.

#include <functional>

class QMenu;
class QObject;
class QString;
class QTableWidget;
class QWidget;

namespace RowActions {

// Asks whether to delete `name`. On yes removes the row of `button` (its key item
// in `keyColumn`) and returns the row it had; -1 when declined or the row is gone.
int confirmAndRemoveRow(QTableWidget* table, QObject* button, int keyColumn, const QString& name);

enum class MoreChoice
{
    None,
    Rename,
    Copy,
    Hotkey,
    ConvertToFlow,
    ConvertToFlowKeepingMoves
};

struct MoreResult
{
    MoreChoice choice = MoreChoice::None;
    int row = -1; // the button's row once the menu has closed
};

// Shows the rename / copy / hotkey menu below `button`. `beforeShow` may name or
// extend the menu before it opens. The choice is None when nothing was chosen or
// the button's row is gone.
// With `offerConversion` the menu also offers to turn the row into a flow (thinned
// pointer paths, or every move kept).
MoreResult execMoreMenu(QTableWidget* table, QWidget* button, int keyColumn,
                        const std::function<void(QMenu*)>& beforeShow = {},
                        bool offerConversion = false);

} // namespace RowActions
