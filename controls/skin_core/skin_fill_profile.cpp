#include "skin_fill_profile.h"
#include "skin_styles.h"

namespace skin {
namespace {

using namespace program_rows;

const Style kStyles[] = {k7,  k8,   k17,  k18,  k19,  k20,  k21,  k22, k27, k28,  k37,  k38, k47, k48, k57, k58,
                         k67, k68,  k77,  k78,  k88,  k107, k108, k201, k321, k322, k327, k328, k9, kDefault};

}  // namespace

const Profile kSkinFillProfile = {"skin_fill_shaded", 10, kStyles, sizeof kStyles / sizeof kStyles[0]};

}  // namespace skin
