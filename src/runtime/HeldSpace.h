#pragma once

#include <QObject>
#include <QTimer>

class QAbstractButton;

namespace rt {

// A held key repeats as a release and a press at once, which Qt does not
// always mark as a repeat (and never with assistive technology listening):
// a press that follows its own key's release this closely is taken for one.
constexpr int keyRepeatMilliseconds = 40;

// Makes a held Space one press of a button or check box, as it is on any
// desktop: the button's release waits out the repeat time, and a press
// within it only keeps the button down. With EnterToo, Enter and keypad Enter
// press the button as Space does (push buttons do; check boxes keep Space
// alone). Lives as long as its button.
class HeldSpace final : public QObject {
public:
    enum Keys { SpaceOnly, EnterToo };
    explicit HeldSpace(QAbstractButton& button, Keys keys = SpaceOnly);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void release();

    QAbstractButton& button_;
    const Keys keys_;
    QTimer releaseLater_;
    bool releasing_ = false;
};

} // namespace rt
