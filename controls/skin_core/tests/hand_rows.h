// Band rows worked out by hand from the gradient formulas, checked against a profile's plan: the
// anchor of every golden band table.
#pragma once
#include "controls/skin_core/skin_bands.h"
#include "controls/skin_core/skin_scheme.h"
#include <string>

struct HandRow {
    const skin::Profile* profile;
    int style;
    skin::Rect box;
    bool plain;             // the plain fill first
    size_t band;            // index into the plan's bands
    skin::Rect want;        // the band's rectangle
    skin::Op op;            // how the base colour is shaded
    int amount;             // by how much
    const char* working;    // the arithmetic, for the reader
};

// "" when the row holds, else what differs.
std::string check_hand_row(const HandRow& row);
