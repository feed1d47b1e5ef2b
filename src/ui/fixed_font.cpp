#include "ui/fixed_font.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace navtab::ui {

QFont fixedFont() {
    constexpr int kPixelHeight = 12;
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(kPixelHeight);
    if (QFontInfo(font).fixedPitch()) return font;
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(kPixelHeight);
    return font;
}

}  // namespace navtab::ui
