#include "page_models.h"

namespace settings_pages {

const char* const kVbrOrderMessage = "MP3可变速率(VBR)的最小编码速率不能大于最大编码速率";
const char* const kAbrRangeMessage = "MP3平均编码速率应在80到320之间";
const char* const kMp4SizeMessage = "MP4视频编码宽度和高度应在10到1000之间";

void PageModel::copy_item(const ItemList& list, int item, int& setting) {
    int value;
    if (value_of(list, item, &value)) setting = value;
}

}  // namespace settings_pages
