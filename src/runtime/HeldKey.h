#pragma once

#include <QEvent>
#include <QObject>
#include <QTimer>

class QAbstractButton;

namespace rt {

// A held key repeats as a release and a press at once, which Qt does not
// always mark as a repeat (and never with assistive technology listening):
// a press that follows its own key's release this closely is taken for one.
constexpr int keyRepeatMilliseconds = 40;

// The one rule for keys held on a control, as it is on any desktop: a held
// key is one press. Space holds the button down until its key has been up
// for the repeat time, and a press within it only keeps the button down.
// Enter presses a push button as Space does, or pulls the lever at once
// (down, up and click) on its first press; a check box keeps Space alone.
// One key at a time, as a push button takes them. Lives as long as its
// button.
class HeldKey final : public QObject {
public:
    enum Enter { Ignored, AsSpace, AtOnce };
    HeldKey(QAbstractButton& button, Enter enter);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void sendSpace(QEvent::Type type);
    void letGo();

    QAbstractButton& button_;
    const Enter enter_;
    int heldKey_ = 0;      // Space or Enter from its press until it has been up a while
    QTimer releaseLater_;  // the held key is up, unless it comes down again
    bool sending_ = false; // a Space of our own is on its way to the button
};

} // namespace rt
