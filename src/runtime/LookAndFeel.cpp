#include "runtime/LookAndFeel.h"

#include "runtime/FocusMarks.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStyle>
#include <QStyleFactory>

namespace rt {

void setUpLookAndFeel() {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(fusion);
        QApplication::setPalette(fusion->standardPalette());
    }
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
    const QString sans = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), sans);
    // The windows' default font stands in for MS Sans Serif 8 pt, whose
    // narrow bitmap glyphs the captions were fitted to: the desktop's sans at
    // 10 pixels keeps "Auto score to credits" inside its box.
    QFont standard(sans);
    standard.setPixelSize(10);
    QApplication::setFont(standard);
    showFocusMarksOnceKeysAreUsed();
}

} // namespace rt
