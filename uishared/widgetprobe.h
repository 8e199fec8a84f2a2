#pragma once
// What an end-to-end test may ask a running program about its widgets: where a
// named widget is on the screen and a few states a user can see.
//
// A name is a path of object names joined by '/'. The first is looked for in every
// window, each further one among the descendants of the one before, and each must
// match exactly one thing. A QAction's name stands for the tool button that shows
// it. Below an item view, "row<N>" is a row, "col<N>" a cell of that row, and any
// other name an item whose Qt::UserRole data is that name (a palette entry is
// named by its type id) or a widget placed in the row's cells, so
// "tableCustom/row0/btnRun" is the run button of the first flow.

#include <QJsonObject>
#include <QString>

namespace WidgetProbe {

// Keys of the answer. Without a match only `found` (false) and `error` are there;
// `text` is there for what shows a text, `rows` for item views and items.
// The rectangle is global, in the screen's own pixels.
// clang-format off
constexpr char FoundKey[]   = "found";
constexpr char ErrorKey[]   = "error";
constexpr char VisibleKey[] = "visible";
constexpr char EnabledKey[] = "enabled";
constexpr char XKey[]       = "x";
constexpr char YKey[]       = "y";
constexpr char WidthKey[]   = "width";
constexpr char HeightKey[]  = "height";
constexpr char TextKey[]    = "text";
constexpr char RowsKey[]    = "rows";
// clang-format on

QJsonObject describe(const QString& path);

} // namespace WidgetProbe
