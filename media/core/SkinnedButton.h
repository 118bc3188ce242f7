#pragma once
// An image button of the skin that knows its own pictures: its base name with the suffix of each look ("close" →
// close_n.bmp, close_m.bmp, close_d.bmp, close_u.bmp, close_s.bmp), so its handlers name looks, never files.
#include <QString>
#include <functional>

#include "platform/forms/Image.h"

namespace media {

enum class ButtonLook {
    Normal,    // _n
    Hover,     // _m
    Pressed,   // _d
    Released,  // _u
    Disabled,  // _s
};

class SkinnedButton : public forms::Image {
public:
    SkinnedButton(QWidget* parent, QString baseName, QString extension = QStringLiteral(".bmp"));

    // The file of a look in the skin, from the base name the Tag selects (or the one `tag` would select).
    QString PictureName(ButtonLook look) const { return PictureName(look, Tag); }
    QString PictureName(ButtonLook look, const QString& tag) const;
    // Shows a look. A disabled button keeps its disabled picture, and a held one its pressed picture: asks for other
    // looks leave the picture as it is.
    void ShowLook(ButtonLook look);
    // The look the button shows at rest: disabled, held (pressed) or normal.
    void ShowResting();
    // The hover picture once per visit: the Tag marks the visit, so further moves load nothing.
    void HoverOnce();
    // Ends a visit: the normal look, the Tag cleared.
    void EndHover();

    // While the Tag reads `tag` the pictures come from another base name (the play button offering pause).
    void SetBaseNameForTag(const QString& tag, const QString& baseName);
    // The state in which the button stays pressed (muted, kept on top); without it the button is never held.
    void SetHeldWhile(std::function<bool()> held) { held_ = std::move(held); }

private:
    bool Held() const { return held_ && held_(); }

    QString baseName_;
    QString extension_;
    QString alternativeTag_;
    QString alternativeBaseName_;
    std::function<bool()> held_;
};

}  // namespace media
