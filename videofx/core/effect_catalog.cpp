#include "effect_catalog.h"

namespace videofx {

namespace {

const EffectInfo kCatalog[kEffectCount] = {
    {kAdjustRgb, "RGB颜色效果器", {128, 128, 128}, {}, apply_adjust_rgb},
    {kHueSaturation, "色调饱和度效果器", {100, 100}, {}, apply_hue_saturation},
    {kBrightnessContrast, "对比度亮度效果器", {100, 100}, {}, apply_brightness_contrast},
    {kFlip, "上下翻转效果器", {}, {}, apply_flip},
    {kMirror, "左右镜像效果器", {}, {}, apply_mirror},
    {kInvert, "反色效果器", {}, {}, apply_invert},
    {kMosaic, "马赛克效果器", {5}, {}, apply_mosaic},
    {kWeathering, "风化效果器", {1}, {}, apply_weathering},
    {kSharpen, "锐化效果器", {1}, {}, apply_sharpen},
    {kBlur, "模糊效果器", {1}, {}, apply_blur},
    {kPictureOverlay, "图片叠加效果器", {}, {}, apply_picture_overlay},
    // Background colour blue 255 and text colour white, both as red x 65536 + green x 256 + blue;
    // text cells 24 pixels wide.
    {kTextOverlay, "文字叠加效果器", {}, {255, 0xFFFFFF, 24}, apply_text_overlay},
    {kBlinds, "百页窗效果器", {2}, {}, apply_blinds},
    {kExpand, "展开效果器", {2}, {}, apply_expand},
};

}  // namespace

const EffectInfo* find_effect(int id) {
    if (id < 1 || id > kEffectCount) return nullptr;
    return &kCatalog[id - 1];
}

}  // namespace videofx
