#pragma once
// Widget events by widget name or id. A widget fires an event; first the widget's
// own subscribers see it, then the nearest EventHost up the tree (its handlers by
// name or id, then its OnEvent fallback). A handler returning true stops delivery.
#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

namespace ui {

namespace ev {
constexpr int kCommand = 10000;        // "on_command": click of a button, check or radio
constexpr int kSelChanged = 10001;     // "on_sel_changed": combo box / list selection (cur, prev)
constexpr int kSliderPos = 10002;      // "on_slider_pos": slider moved (pos)
constexpr int kTabSelChanged = 10003;  // "on_tab_sel_changed": tab page changed (cur, prev)
constexpr int kEditChanged = 10004;    // "on_edit_changed": edit text changed
constexpr int kTabItemHover = 10005;   // "on_tab_item_hover": mouse entered tab header (cur)
constexpr int kTabItemLeave = 10006;   // "on_tab_item_leave": mouse left tab header (cur)
constexpr int kItemClick = 10007;      // "on_item_click": row of a list view clicked (cur)
constexpr int kHeaderClick = 10008;    // "on_header_click": header column clicked (cur)
constexpr int kKeyEnter = 10000500;    // "on_key_enter": Enter in an extended edit
}  // namespace ev

// Id of an event name ("on_command", …); 0 when unknown.
int EventIdOf(const QString& eventName);

struct EventArgs {
    int event = 0;
    QWidget* sender = nullptr;
    int id = 0;     // sender's numeric id
    QString name;   // sender's name
    int cur = -1;   // new selection / page / item / column
    int prev = -1;  // previous selection / page
    int pos = 0;    // slider position
    bool checked = false;
};

using EventHandler = std::function<bool(EventArgs&)>;

// Subscribes to one event of one widget; the subscription dies with the widget.
void Subscribe(QWidget* widget, int event, EventHandler handler);
// While one of these lives (the loader holds one while it builds a tree), no event
// is delivered: filling widgets from a layout is nobody's choice.
class EventMute {
public:
    EventMute();
    ~EventMute();
    EventMute(const EventMute&) = delete;
    EventMute& operator=(const EventMute&) = delete;
    static bool Active();
};

// Fills sender, id and name from the widget and delivers the event.
bool Fire(QWidget* sender, EventArgs args);
bool Fire(QWidget* sender, int event);

// A window that receives the events of the widgets below it.
class EventHost {
public:
    virtual ~EventHost() = default;

    void On(int event, const QString& widgetName, EventHandler handler);
    void On(int event, int widgetId, EventHandler handler);
    // Handlers by name, then by id, then OnEvent.
    bool Dispatch(EventArgs& args);

protected:
    // Fallback for events no handler took; commands arrive at OnCommand.
    virtual bool OnEvent(EventArgs& args);
    virtual bool OnCommand(EventArgs&) { return false; }

private:
    QHash<QString, std::vector<std::pair<int, EventHandler>>> byName_;
    QHash<int, std::vector<std::pair<int, EventHandler>>> byId_;
};

}  // namespace ui
