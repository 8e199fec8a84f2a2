#pragma once
// Where a point of the layout lies on a remote-desktop session's screen streams:
// the stream that shows it and the point in that stream's pixels. Absolute
// coordinates span the box around every stream, as they span the box around every
// output on wlroots.

#include "waylandoutputs.h"

#include <cstddef>
#include <vector>

namespace platform::wayland {

struct StreamPoint
{
    size_t stream = 0;
    int x = 0; // in the stream's pixels
    int y = 0;
};

class StreamLayout
{
public:
    explicit StreamLayout(std::vector<LayoutRect> streams);

    bool isEmpty() const { return m_streams.empty(); }
    // The size of the box around every stream.
    ScreenSize size() const;
    // The stream under pixel (x, y) of the box; a pixel between or beyond the streams
    // goes to the nearest pixel of the nearest stream. Call only when not empty.
    StreamPoint locate(int x, int y) const;

private:
    std::vector<LayoutRect> m_streams;
    LayoutRect m_box;
};

} // namespace platform::wayland
