#include "soundfx/core/effect_set.h"

namespace soundfx {
namespace {

#define ROW(id, name, member) {id, name, [](EffectSet& s) -> Effect& { return s.member; }}
const EffectRow kRows[kEffectCount] = {
    ROW(1, "图形均衡器", eq),
    ROW(2, "压缩效果器", compressor),
    ROW(3, "音调变化器", pitch),
    ROW(4, "失真效果器", distortion),
    ROW(5, "过载效果器", overdrive),
    ROW(6, "调幅效果器", am),
    ROW(7, "回响效果器", echo),
    ROW(8, "飘忽效果器", sweep),
    ROW(9, "移相效果器", phaser),
    ROW(10, "降噪效果器", gate),
    ROW(11, "合唱效果器", chorus),
    ROW(12, "混响效果器", reverb),
    ROW(13, "WaWa效果器", wah),
    ROW(14, "超重低音效果器", bass),
    ROW(15, "取反效果器", invert),
    ROW(16, "颤音效果器", vibrato),
};
#undef ROW

}  // namespace

const EffectRow* effect_table() { return kRows; }

const EffectRow* effect_row(int id) { return id >= 1 && id <= kEffectCount ? &kRows[id - 1] : nullptr; }

Effect* EffectSet::by_id(int id) {
    const EffectRow* row = effect_row(id);
    return row ? &row->of(*this) : nullptr;
}

}  // namespace soundfx
