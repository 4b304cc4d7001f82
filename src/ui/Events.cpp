#include "ui/Events.h"

#include <QObject>

#include "ui/WidgetTree.h"

namespace ui {

namespace {
// Per-widget subscriber list, a child object so that it is destroyed with the widget.
class EventSlots : public QObject {
public:
    explicit EventSlots(QObject* parent) : QObject(parent) { setObjectName(QStringLiteral("kb_event_slots")); }
    std::vector<std::pair<int, EventHandler>> handlers;
};

EventSlots* SlotsOf(QWidget* w, bool create) {
    for (QObject* c : w->children())
        if (auto* s = dynamic_cast<EventSlots*>(c)) return s;
    return create ? new EventSlots(w) : nullptr;
}

bool RunHandlers(const std::vector<std::pair<int, EventHandler>>& list, EventArgs& args) {
    // Copy: a handler may subscribe more handlers while we iterate.
    const auto copy = list;
    for (const auto& [event, fn] : copy)
        if (event == args.event && fn(args)) return true;
    return false;
}
}  // namespace

namespace {
int g_mute = 0;  // UI thread only
}

EventMute::EventMute() { ++g_mute; }
EventMute::~EventMute() { --g_mute; }
bool EventMute::Active() { return g_mute > 0; }

int EventIdOf(const QString& n) {
    static const QHash<QString, int> names = {
        {"on_command", ev::kCommand},
        {"on_sel_changed", ev::kSelChanged},
        {"on_slider_pos", ev::kSliderPos},
        {"on_tab_sel_changed", ev::kTabSelChanged},
        {"on_edit_changed", ev::kEditChanged},
        {"on_tab_item_hover", ev::kTabItemHover},
        {"on_tab_item_leave", ev::kTabItemLeave},
        {"on_item_click", ev::kItemClick},
        {"on_header_click", ev::kHeaderClick},
        {"on_key_enter", ev::kKeyEnter},
    };
    return names.value(n, 0);
}

void Subscribe(QWidget* widget, int event, EventHandler handler) {
    if (widget && handler) SlotsOf(widget, true)->handlers.emplace_back(event, std::move(handler));
}

bool Fire(QWidget* sender, EventArgs args) {
    if (!sender || EventMute::Active()) return false;
    args.sender = sender;
    args.id = WidgetId(sender);
    args.name = sender->objectName();
    QPointer<QWidget> guard(sender);
    if (EventSlots* s = SlotsOf(sender, false); s && RunHandlers(s->handlers, args)) return true;
    if (!guard) return true;  // a subscriber destroyed the sender
    for (QWidget* w = sender; w; w = w->parentWidget())
        if (auto* host = dynamic_cast<EventHost*>(w)) return host->Dispatch(args);
    return false;
}

bool Fire(QWidget* sender, int event) {
    EventArgs a;
    a.event = event;
    return Fire(sender, a);
}

void EventHost::On(int event, const QString& widgetName, EventHandler handler) {
    byName_[widgetName].emplace_back(event, std::move(handler));
}

void EventHost::On(int event, int widgetId, EventHandler handler) {
    byId_[widgetId].emplace_back(event, std::move(handler));
}

bool EventHost::Dispatch(EventArgs& args) {
    if (!args.name.isEmpty())
        if (auto it = byName_.find(args.name); it != byName_.end() && RunHandlers(*it, args)) return true;
    if (args.id != 0)
        if (auto it = byId_.find(args.id); it != byId_.end() && RunHandlers(*it, args)) return true;
    return OnEvent(args);
}

bool EventHost::OnEvent(EventArgs& args) { return args.event == ev::kCommand ? OnCommand(args) : false; }

}  // namespace ui
