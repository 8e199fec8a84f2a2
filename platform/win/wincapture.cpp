#include "wincapture.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace platform::win {
namespace {

int64_t steadyNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The handlers of one started capture. Shared with the dispatch in progress, so a
// handler that stops or destroys its capture leaves the rest of that dispatch safe.
struct Delivery
{
    Delivery(InputCapture::MouseHandler mouse, InputCapture::KeyHandler key)
        : onMouse(std::move(mouse)), onKey(std::move(key))
    {
    }
    bool live = true;
    const InputCapture::MouseHandler onMouse;
    const InputCapture::KeyHandler onKey;
};
using DeliveryPtr = std::shared_ptr<Delivery>;

struct HookCloser
{
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
using HookPtr = std::unique_ptr<std::remove_pointer_t<HHOOK>, HookCloser>;

// The hooks of one thread, shared by every capture started on it: a low-level hook
// procedure cannot tell which installation called it, so one pair serves them all.
// Installed with the first capture and removed with the last.
class ThreadHooks
{
public:
    static ThreadHooks& current()
    {
        thread_local ThreadHooks hooks;
        return hooks;
    }

    bool add(const DeliveryPtr& delivery)
    {
        if (m_deliveries.empty()) {
            HINSTANCE module = GetModuleHandleW(nullptr);
            m_mouse.reset(SetWindowsHookExW(WH_MOUSE_LL, &ThreadHooks::mouseProc, module, 0));
            m_keyboard.reset(
                SetWindowsHookExW(WH_KEYBOARD_LL, &ThreadHooks::keyboardProc, module, 0));
            if (!m_mouse || !m_keyboard) {
                m_mouse.reset();
                m_keyboard.reset();
                return false;
            }
        }
        m_deliveries.push_back(delivery);
        return true;
    }

    void remove(const DeliveryPtr& delivery)
    {
        m_deliveries.erase(std::remove(m_deliveries.begin(), m_deliveries.end(), delivery),
                           m_deliveries.end());
        if (m_deliveries.empty()) {
            m_mouse.reset();
            m_keyboard.reset();
        }
    }

private:
    template <typename Event, typename Member>
    static void dispatch(const Event& event, Member handler)
    {
        // A copy: handlers may start or stop captures while we go through the list.
        const std::vector<DeliveryPtr> deliveries = current().m_deliveries;
        for (const DeliveryPtr& delivery : deliveries) {
            if (delivery->live && (*delivery).*handler)
                ((*delivery).*handler)(event);
        }
    }

    static LRESULT CALLBACK mouseProc(int code, WPARAM message, LPARAM data)
    {
        if (code == HC_ACTION) {
            const auto* hook = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
            CapturedMouse event;
            event.message = static_cast<uint32_t>(message);
            event.x = hook->pt.x;
            event.y = hook->pt.y;
            event.mouseData = hook->mouseData;
            event.timeNs = steadyNowNs();
            dispatch(event, &Delivery::onMouse);
        }
        // Never swallow input.
        return CallNextHookEx(nullptr, code, message, data);
    }

    static LRESULT CALLBACK keyboardProc(int code, WPARAM message, LPARAM data)
    {
        if (code == HC_ACTION) {
            const auto* hook = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
            CapturedKey event;
            event.message = static_cast<uint32_t>(message);
            event.vkCode = hook->vkCode;
            event.scanCode = hook->scanCode;
            event.flags = hook->flags;
            event.timeNs = steadyNowNs();
            dispatch(event, &Delivery::onKey);
        }
        return CallNextHookEx(nullptr, code, message, data);
    }

    std::vector<DeliveryPtr> m_deliveries;
    HookPtr m_mouse;
    HookPtr m_keyboard;
};

class WinCapture final : public InputCapture
{
public:
    WinCapture() = default;
    ~WinCapture() override { stop(); }
    WinCapture(const WinCapture&) = delete;
    WinCapture& operator=(const WinCapture&) = delete;

    bool start(MouseHandler onMouse, KeyHandler onKey) override
    {
        stop();
        auto delivery = std::make_shared<Delivery>(std::move(onMouse), std::move(onKey));
        ThreadHooks& hooks = ThreadHooks::current();
        if (!hooks.add(delivery))
            return false;
        m_hooks = &hooks;
        m_delivery = std::move(delivery);
        return true;
    }

    void stop() override
    {
        if (!m_delivery)
            return;
        m_delivery->live = false;
        m_hooks->remove(m_delivery);
        m_delivery.reset();
        m_hooks = nullptr;
    }

    bool isActive() const override { return m_delivery != nullptr; }

private:
    ThreadHooks* m_hooks = nullptr;
    DeliveryPtr m_delivery;
};

} // namespace

std::unique_ptr<InputCapture> createWinCapture()
{
    return std::make_unique<WinCapture>();
}

} // namespace platform::win
