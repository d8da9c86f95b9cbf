// Huffman decoding of layer III spectra: the standard's code tables and lookup tables built from them.
#pragma once
#include <cstdint>

namespace mpa {

struct HuffCode {
    uint16_t code;
    uint8_t length;
};

extern const HuffCode kHuffCodes1[4], kHuffCodes2[9], kHuffCodes3[9], kHuffCodes5[16], kHuffCodes6[16],
    kHuffCodes7[36], kHuffCodes8[36], kHuffCodes9[36], kHuffCodes10[64], kHuffCodes11[64], kHuffCodes12[64],
    kHuffCodes13[256], kHuffCodes15[256], kHuffCodes16[256], kHuffCodes24[256], kHuffCodes32[16],
    kHuffCodes33[16];

// A lookup table: an entry of the first level is indexed by the next `first_bits` bits of the stream.
// Entry: leaf = symbol | length << 8 (bit 31 clear), the length counted from the level's start;
// link = bit 31 | sub-table offset << 5 | sub-table bits.
struct HuffLookup {
    const uint32_t* entries = nullptr;
    int first_bits = 0;
};

struct HuffTable {
    HuffLookup lookup;  // none for table 0 and the unused tables 4 and 14
    int linbits = 0;
};

// Pair tables 0..31 and the count1 tables (32: A, 33: B). Built on first use, constant afterwards.
const HuffTable* huffman_tables();

}  // namespace mpa
