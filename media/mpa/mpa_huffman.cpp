#include "media/mpa/mpa_huffman.h"
#include <cstddef>
#include <vector>

namespace mpa {

namespace {

constexpr int kFirstBits = 8;
constexpr int kSubBits = 6;

struct Code {
    uint32_t code;
    int length;
    int symbol;
};

// Fills the entries of one level for the codes that share the prefix already consumed (`depth` bits).
void build_level(std::vector<uint32_t>& pool, size_t base, int bits, int depth, const std::vector<Code>& codes) {
    for (uint32_t index = 0; index < (1u << bits); ++index) {
        std::vector<Code> longer;
        for (const Code& c : codes) {
            const int rest = c.length - depth;
            if (rest <= bits) {
                // the code's remaining bits are the top `rest` bits of the index
                if ((index >> (bits - rest)) == (c.code & ((1u << rest) - 1))) {
                    pool[base + index] = uint32_t(c.symbol) | uint32_t(rest) << 8;
                }
            } else if (((c.code >> (rest - bits)) & ((1u << bits) - 1)) == index) {
                longer.push_back(c);
            }
        }
        if (!longer.empty()) {
            int max_rest = 0;
            for (const Code& c : longer) max_rest = c.length - depth - bits > max_rest ? c.length - depth - bits : max_rest;
            const int sub_bits = max_rest < kSubBits ? max_rest : kSubBits;
            const size_t sub = pool.size();
            pool.resize(sub + (size_t(1) << sub_bits), 0);
            pool[base + index] = 0x80000000u | uint32_t(sub) << 5 | uint32_t(sub_bits);
            build_level(pool, sub, sub_bits, depth + bits, longer);
        }
    }
}

struct Tables {
    std::vector<uint32_t> pool[34];
    HuffTable table[34];

    void add(int id, const HuffCode* codes, int count, int width, int linbits) {
        std::vector<Code> list;
        int max_length = 0;
        for (int i = 0; i < count; ++i) {
            // pair tables are stored x * width + y; the symbol packs x << 4 | y
            const int symbol = width ? (i / width) << 4 | (i % width) : i;
            list.push_back({codes[i].code, codes[i].length, symbol});
            if (codes[i].length > max_length) max_length = codes[i].length;
        }
        const int first = max_length < kFirstBits ? max_length : kFirstBits;
        pool[id].assign(size_t(1) << first, 0);
        build_level(pool[id], 0, first, 0, list);
        table[id].lookup.entries = pool[id].data();
        table[id].lookup.first_bits = first;
        table[id].linbits = linbits;
    }

    void share(int id, int from, int linbits) {
        table[id].lookup = table[from].lookup;
        table[id].linbits = linbits;
    }

    Tables() {
        add(1, kHuffCodes1, 4, 2, 0);
        add(2, kHuffCodes2, 9, 3, 0);
        add(3, kHuffCodes3, 9, 3, 0);
        add(5, kHuffCodes5, 16, 4, 0);
        add(6, kHuffCodes6, 16, 4, 0);
        add(7, kHuffCodes7, 36, 6, 0);
        add(8, kHuffCodes8, 36, 6, 0);
        add(9, kHuffCodes9, 36, 6, 0);
        add(10, kHuffCodes10, 64, 8, 0);
        add(11, kHuffCodes11, 64, 8, 0);
        add(12, kHuffCodes12, 64, 8, 0);
        add(13, kHuffCodes13, 256, 16, 0);
        add(15, kHuffCodes15, 256, 16, 0);
        add(16, kHuffCodes16, 256, 16, 1);
        static const int kLinbits16[8] = {1, 2, 3, 4, 6, 8, 10, 13};
        for (int i = 1; i < 8; ++i) share(16 + i, 16, kLinbits16[i]);
        add(24, kHuffCodes24, 256, 16, 4);
        static const int kLinbits24[8] = {4, 5, 6, 7, 8, 9, 11, 13};
        for (int i = 1; i < 8; ++i) share(24 + i, 24, kLinbits24[i]);
        add(32, kHuffCodes32, 16, 0, 0);
        add(33, kHuffCodes33, 16, 0, 0);
    }
};

}  // namespace

const HuffTable* huffman_tables() {
    static const Tables tables;
    return tables.table;
}

}  // namespace mpa
