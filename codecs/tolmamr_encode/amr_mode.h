// The AMR-NB mode value of the AMR rate setting, as amrbuf_init takes it. Portable, so the engine and
// the export header share the one table.
#pragma once

// 0 MR475 ... 7 MR122; a value above 7 selects 7, below 0 selects 0.
inline int amr_mode_value(int cfg_amr_rate) {
    static const int kModes[8] = {475, 515, 59, 67, 74, 795, 102, 122};
    return kModes[cfg_amr_rate < 0 ? 0 : cfg_amr_rate > 7 ? 7 : cfg_amr_rate];
}
