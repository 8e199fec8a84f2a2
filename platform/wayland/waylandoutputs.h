#pragma once
// The compositor's outputs and where each sits in the output layout: the global
// space that absolute pointer motion spans.

#include "platform/backend.h"

#include <cstdint>
#include <memory>
#include <vector>

struct wl_output;
struct wl_registry;
struct zxdg_output_manager_v1;

namespace platform::wayland {

struct LayoutRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The box around every rectangle; empty when there are none.
LayoutRect layoutBounds(const std::vector<LayoutRect>& outputs);
// The size of that box; {0, 0} when there are none.
ScreenSize layoutExtent(const std::vector<LayoutRect>& outputs);

class WaylandOutputs
{
public:
    WaylandOutputs();
    ~WaylandOutputs();
    WaylandOutputs(const WaylandOutputs&) = delete;
    WaylandOutputs& operator=(const WaylandOutputs&) = delete;

    // Registry announcements, forwarded by the connection.
    void add(wl_registry* registry, uint32_t name, uint32_t version);
    void remove(uint32_t name);
    // With xdg-output each output reports its logical place; without it, its mode
    // divided by its scale at its advertised position.
    void setXdgOutputManager(zxdg_output_manager_v1* manager);

    // Asks every output for its logical place again. An output that is not part of
    // the layout (a disabled one) keeps its global but never answers.
    void refresh();

    // The places of the outputs in the layout, as answered so far.
    std::vector<LayoutRect> rects() const;

    struct Output;

private:
    void describe(Output& output);

    zxdg_output_manager_v1* m_xdgOutputManager = nullptr;
    std::vector<std::unique_ptr<Output>> m_outputs;
};

} // namespace platform::wayland
