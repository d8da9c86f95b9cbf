// The style table of skin_fill_shaded, the shaded fill the program's skinned windows share.
#pragma once
#include "skin_bands.h"

namespace skin {
extern const Profile kSkinFillProfile;
}
