#include "media/core/SkinnedButton.h"

#include "media/core/Skin.h"

namespace media {

namespace {

// The hover Tag of a visit: set by the first move over the button, cleared when the pointer is seen elsewhere.
const QString kVisitTag = QStringLiteral("1");

const char* SuffixOf(ButtonLook look) {
    switch (look) {
        case ButtonLook::Normal: return "_n";
        case ButtonLook::Hover: return "_m";
        case ButtonLook::Pressed: return "_d";
        case ButtonLook::Released: return "_u";
        case ButtonLook::Disabled: return "_s";
    }
    return "_n";
}

}  // namespace

SkinnedButton::SkinnedButton(QWidget* parent, QString baseName, QString extension)
    : Image(parent), baseName_(std::move(baseName)), extension_(std::move(extension)) {}

QString SkinnedButton::PictureName(ButtonLook look, const QString& tag) const {
    const bool alternative = !alternativeTag_.isEmpty() && tag == alternativeTag_;
    return (alternative ? alternativeBaseName_ : baseName_) + QLatin1String(SuffixOf(look)) + extension_;
}

void SkinnedButton::ShowLook(ButtonLook look) {
    if (!Enabled() && look != ButtonLook::Disabled) return;
    if (Held() && look != ButtonLook::Pressed) return;
    ApplyButtonPicture(*this, PictureName(look));
}

void SkinnedButton::ShowResting() {
    ShowLook(!Enabled() ? ButtonLook::Disabled : Held() ? ButtonLook::Pressed : ButtonLook::Normal);
}

void SkinnedButton::HoverOnce() {
    if (!Tag.isEmpty()) return;
    ShowLook(ButtonLook::Hover);
    Tag = kVisitTag;
}

void SkinnedButton::EndHover() {
    ShowLook(ButtonLook::Normal);
    Tag.clear();
}

void SkinnedButton::SetBaseNameForTag(const QString& tag, const QString& baseName) {
    alternativeTag_ = tag;
    alternativeBaseName_ = baseName;
}

}  // namespace media
