#include "runtime/TaskBar.h"

#include "runtime/XServer.h"

#include <QEvent>
#include <QWidget>
#include <QWindowStateChangeEvent>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace rt {

namespace {

// Window managers drop a window's state when it is hidden, so the request is
// made again on every showing: as a property just before the window is
// mapped, which the window manager reads when it takes the window, and once
// it is mapped as a message to the window manager, for one that had not yet
// dropped the old state when the property was set.
//
// A minimised window has a task-bar button while it is minimised: some window
// managers minimise any window, whatever it asks for, and the button is then
// the player's one way back to it. A tool window is a transient of the
// program's other windows to the window manager (Qt makes it so), and one
// that minimises a main window takes its transients with it (KWin does): the
// game's one button is then the main window's, and the tool window comes
// back with it.
class TaskBarKeeper : public QObject {
public:
    explicit TaskBarKeeper(QWidget& window) : QObject(&window), window_(window) {
        window.installEventFilter(this);
        keepers().push_back(this);
    }
    TaskBarKeeper(const TaskBarKeeper&) = delete;
    TaskBarKeeper& operator=(const TaskBarKeeper&) = delete;
    ~TaskBarKeeper() override { std::erase(keepers(), this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &window_)
            return false;
        if (event->type() == QEvent::Show) {
            // A window brought back from the task bar's minimised state was
            // never withdrawn: its state is the window manager's to keep.
            if (!event->spontaneous())
                setBeforeMapping();
            // The window is mapped once the show event has been handled.
            QMetaObject::invokeMethod(
                this, [this] { askOnceMapped(); }, Qt::QueuedConnection);
        } else if (event->type() == QEvent::WindowStateChange) {
            const auto* change = static_cast<QWindowStateChangeEvent*>(event);
            if (window_.isMinimized()) {
                ask(buttonWhileMinimised() ? Change::Remove : Change::Add);
                if (!isTool())
                    for (TaskBarKeeper* other : keepers())
                        if (other->isTool() && other->window_.isMinimized())
                            other->ask(Change::Add);
            } else if (change->oldState() & Qt::WindowMinimized)
                askOnceMapped();
        }
        return false;
    }

private:
    enum class Change : std::uint32_t { Remove = 0, Add = 1 };

    static std::vector<TaskBarKeeper*>& keepers() {
        static std::vector<TaskBarKeeper*> all;
        return all;
    }

    bool isTool() const { return window_.windowType() == Qt::Tool; }

    // A tool window minimised alone has a button; one minimised with a main
    // window, before or after it, has none.
    bool buttonWhileMinimised() const {
        return !isTool() ||
               std::none_of(keepers().begin(), keepers().end(), [](const TaskBarKeeper* keeper) {
                   return !keeper->isTool() && keeper->window_.isMinimized();
               });
    }

    void setBeforeMapping() {
        // The withdrawn window has no state of its own; Qt adds its states to
        // the one it finds when it maps the window.
        if (const auto server = x11::Server::ofApplication()) {
            const x11::Atoms& atoms = server->atoms();
            if (atoms.state == XCB_ATOM_NONE || atoms.skipTaskBar == XCB_ATOM_NONE)
                return;
            server->setAtoms(static_cast<xcb_window_t>(window_.winId()), atoms.state,
                             {atoms.skipTaskBar});
            server->flush();
        }
    }

    void askOnceMapped() {
        if (window_.isVisible() && !window_.isMinimized())
            ask(Change::Add);
    }

    void ask(Change change) {
        const auto id = static_cast<xcb_window_t>(window_.internalWinId());
        const auto server = x11::Server::ofApplication();
        if (!server || id == XCB_WINDOW_NONE)
            return;
        const x11::Atoms& atoms = server->atoms();
        if (atoms.state == XCB_ATOM_NONE || atoms.skipTaskBar == XCB_ATOM_NONE)
            return;
        constexpr std::uint32_t fromApplication = 1;
        server->askWindowManager(
            id, atoms.state,
            {static_cast<std::uint32_t>(change), atoms.skipTaskBar, 0, fromApplication, 0});
        server->flush();
    }

    QWidget& window_;
};

} // namespace

void keepOffTaskBar(QWidget& window) {
    new TaskBarKeeper(window);
}

} // namespace rt
