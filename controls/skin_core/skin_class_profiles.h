// The gradient profiles of the program's skinned classes (each class's DrawGradient copy), and the
// balloon tip's, which the program and both libraries share.
#pragma once
#include "skin_bands.h"

namespace skin {

extern const Profile kButtonTarmelo;
extern const Profile kTabTarmelo;
extern const Profile kComboTarmelo;
extern const Profile kLabelTarmelo;
extern const Profile kMenuTarmelo;
extern const Profile kBalloonTip;

}  // namespace skin
