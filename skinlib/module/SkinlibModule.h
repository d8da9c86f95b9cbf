// A library module picks its build of the skinned classes and its frame bitmaps at start-up.
#pragma once
#include "skinlib/variants/skinlib_variants.h"

// Makes `variant` the default of every skinned class of this module and gives its frame skin the
// library's bitmaps.
void skinlib_select(const skinlib::LibraryVariant& variant);
inline void skinlib_use_brisvane() { skinlib_select(skinlib::kBrisvane); }
inline void skinlib_use_olumbra() { skinlib_select(skinlib::kOlumbra); }
const skinlib::LibraryVariant* skinlib_selected();
