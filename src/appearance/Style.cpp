// The style half of the settings: colours, font, textures, bevel and border.
#include <new>

#include "appearance/Keys.h"
#include "plugin/BoundedText.h"
#include "plugin/TorvexPlugin.h"

namespace {

constexpr int kTextSize = 4096;

// The shell's readers hand out a buffer of their own: copy before the next call.
void Keep(char (&target)[kTextSize], const char* value) {
    torvex::CopyText(target, value);
}

}  // namespace

void TorvexPlugin::ReplaceTexture(StyleTexture*& texture, const char* description) {
    char kept[kTextSize];
    Keep(kept, description);
    // Made before the old one goes: without memory for a new record the old texture stays.
    StyleTexture* made = new (std::nothrow) StyleTexture();
    if (made == nullptr) return;
    delete texture;
    texture = made;
    ParseItem(kept, texture);
}

void TorvexPlugin::ReadStyle() {
    namespace keys = torvex::keys;
    char style[kTextSize];
    Keep(style, stylePath(nullptr));

    toolbarColor = ReadColor(style, keys::kToolbarColor, "#000000");
    toolbarColorTo = ReadColor(style, keys::kToolbarColorTo, "#FFFFFF");
    char toolbarText[kTextSize];
    Keep(toolbarText, ReadString(style, keys::kToolbarTextColor, "#000000"));
    labelColor = ReadColor(style, keys::kLabelColor, "#000000");
    labelColorTo = ReadColor(style, keys::kLabelColorTo, "#FFFFFF");
    textColor = ReadColor(style, keys::kLabelTextColor, toolbarText);
    borderColor = ReadColor(style, keys::kBorderColor, "#000000");
    char anyFont[kTextSize];
    Keep(anyFont, ReadString(style, keys::kAnyFont, "courier new"));
    torvex::CopyText(fontName, ReadString(style, keys::kToolbarFont, anyFont));  // cut to 259
    fontHeight = ReadInt(style, keys::kToolbarFontHeight, 12);
    ReplaceTexture(toolbarTexture, ReadString(style, keys::kToolbar, "Flat Gradient Vertical"));
    ReplaceTexture(labelTexture, ReadString(style, keys::kToolbarLabel, "ParentRelative"));
    bevelWidth = ReadInt(style, keys::kBevelWidth, 1);
    borderWidth = ReadInt(style, keys::kBorderWidth, 1);
}

int TorvexPlugin::BoxHeight(bool unixBullet) const {
    // Worked out wide, so that a hostile style cannot overflow it.
    int64_t height =
        unixBullet ? int64_t{fontHeight} + 2 * int64_t{bevelWidth} + 4 * int64_t{borderWidth} + 2
                   : int64_t{fontHeight} + 2 * int64_t{borderWidth} + 2;
    return torvex::ClampToInt(height);
}
