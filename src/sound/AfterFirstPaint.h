#pragma once

#include <QObject>
#include <functional>

namespace sound {

// Calls back once, after the program's first window has been exposed and so
// painted: the window paints while its expose event is handled, and the call
// is queued behind that. The cue player opens its device from here, so that
// probing for sound does not delay the first paint (the start-up figure).
// Lives in, and calls back on, the thread that made it.
class AfterFirstPaint final : public QObject {
public:
    explicit AfterFirstPaint(std::function<void()> then);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> then_;
};

} // namespace sound
