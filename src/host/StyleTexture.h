#pragma once
// The shell's texture record. The shell fixes its layout: the plug-in allocates it, the shell's
// ParseItem fills it and MakeGradient reads it back. Only the leading fields are ours to read.
#include <cstddef>
#include <cstdint>

struct StyleTexture {
    int32_t textureParamA;
    int32_t textureParamB;
    int32_t textureKind;
    bool parentRelative;
    bool textureFlag;
    unsigned char shellOnly[286];
};

static_assert(sizeof(bool) == 1, "the shell passes bools as one byte");
static_assert(sizeof(StyleTexture) == 300, "StyleTexture is 300 bytes in the shell");
static_assert(offsetof(StyleTexture, textureParamA) == 0, "layout fixed by the shell");
static_assert(offsetof(StyleTexture, textureParamB) == 4, "layout fixed by the shell");
static_assert(offsetof(StyleTexture, textureKind) == 8, "layout fixed by the shell");
static_assert(offsetof(StyleTexture, parentRelative) == 12, "layout fixed by the shell");
static_assert(offsetof(StyleTexture, textureFlag) == 13, "layout fixed by the shell");
