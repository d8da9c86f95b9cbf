// The item lists of the settings pages' combo boxes. A list whose items stand for numbers (bit rates,
// sample rates, qualities) carries them; in the others the item index is the stored value.
#pragma once
#include <string>
#include <vector>

namespace settings_pages {

struct ItemList {
    std::vector<std::string> texts;
    std::vector<int> values;  // empty: the index is the value
};

const ItemList& size_adjust_items();
const ItemList& merge_mode_items();
const ItemList& standard_size_items();  // the four H.263 sizes
const ItemList& full_size_items();      // the four, 320x240, 160x120, the source's size, custom
const ItemList& amr_rate_items();
const ItemList& mono_mode_items();
const ItemList& channel_items();  // index 0 two channels, index 1 one
const ItemList& video_codec_items();
const ItemList& aac_type_items();
const ItemList& aac_bitrate_items();
const ItemList& aac_sample_rate_items();
const ItemList& aac_quality_items();
const ItemList& mp3_mode_items();
const ItemList& mp3_coding_type_items();
const ItemList& mp3_vbr_quality_items();
// The layer III bit rates (kbit/s) of MPEG audio mode 0..2; an out-of-range mode gives MPEG-1's.
const ItemList& mp3_bitrate_items(int mode);

// The item showing `value`: its number, or its index in a plain list; -1 when no item does.
int item_of(const ItemList& list, int value);
// The value an item stands for; nothing (false) for -1 or an index past the list.
bool value_of(const ItemList& list, int index, int* value);

// Channels as the page shows them: two channels are item 0, one channel item 1.
int channels_item(int channels);
int channels_of_item(int item);

}  // namespace settings_pages
