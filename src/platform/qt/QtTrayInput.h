#pragma once
// The mouse on an XEmbed tray entry, as the program wants it and Qt's own
// entry widget does not give it: Qt reports a right press as the context
// request (so the pop-up opened before the button came up), and its
// application-modal message box shuts the entry out like any other window.
// Here the right button counts on its release, the second press of a right
// double-click is part of the click that opened the pop-up (so it chooses no
// entry of that pop-up), and a modal box leaves the entry's input alone;
// what the entry reports then waits in the dispatcher until OK.
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

class QMouseEvent;

namespace vk::qt {

class QtTrayInput : public QObject {
  public:
    // `rightClick` gets the screen position of each right click on an entry:
    // a press on it and the release over it.
    explicit QtTrayInput(std::function<void(const QPoint&)> rightClick);
    ~QtTrayInput() override;
    QtTrayInput(const QtTrayInput&) = delete;
    QtTrayInput& operator=(const QtTrayInput&) = delete;

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool onEntryMouse(QWidget& entry, const QMouseEvent& mouse);
    bool onOtherMouse(const QMouseEvent& mouse);
    void onWindowShown(QWidget& window);
    void onWindowHidden(QWidget& window);
    void passModalBy();

    std::function<void(const QPoint&)> rightClick_;
    bool rightDown_ = false;
    // A right click on an entry asked for the pop-up and no pop-up has
    // closed since: a double-click's second press belongs to that click.
    bool opening_ = false;
    // When the right button last went down on an entry (the event's time).
    quint64 rightPressMs_ = 0;
    Qt::MouseButton swallowRelease_ = Qt::NoButton;
    // Modal windows shown now, the latest last.
    std::vector<QPointer<QWidget>> modals_;
};

}  // namespace vk::qt
