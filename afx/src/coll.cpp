// The pointer map's hashing and its associations, allocated in blocks as MFC does.
#include "afxwin.h"
#include <cstring>

// A block of associations, chained so the map frees them together.
struct CPlex {
    CPlex* next;
};

CMapPtrToPtr::CMapPtrToPtr(int block_size) : m_nBlockSize(block_size > 0 ? block_size : 10) {}

CMapPtrToPtr::~CMapPtrToPtr() { RemoveAll(); }

void CMapPtrToPtr::InitHashTable(UINT size, BOOL allocate_now) {
    delete[] m_pHashTable;
    m_pHashTable = nullptr;
    if (allocate_now && size) {
        m_pHashTable = new CAssoc*[size];
        memset(m_pHashTable, 0, sizeof(CAssoc*) * size);
    }
    m_nHashTableSize = size ? size : 17;
}

void CMapPtrToPtr::RemoveAll() {
    delete[] m_pHashTable;
    m_pHashTable = nullptr;
    m_nCount = 0;
    m_pFreeList = nullptr;
    while (m_pBlocks) {
        CPlex* next = m_pBlocks->next;
        ::operator delete(m_pBlocks);
        m_pBlocks = next;
    }
}

CMapPtrToPtr::CAssoc* CMapPtrToPtr::NewAssoc() {
    if (!m_pFreeList) {
        // A new block: its associations go onto the free list, the last one first out.
        void* raw = ::operator new(sizeof(CPlex) + sizeof(CAssoc) * (size_t)m_nBlockSize);
        CPlex* block = static_cast<CPlex*>(raw);
        block->next = m_pBlocks;
        m_pBlocks = block;
        CAssoc* assocs = reinterpret_cast<CAssoc*>(block + 1);
        for (int i = m_nBlockSize - 1; i >= 0; --i) {
            assocs[i].pNext = m_pFreeList;
            m_pFreeList = &assocs[i];
        }
    }
    CAssoc* a = m_pFreeList;
    m_pFreeList = a->pNext;
    ++m_nCount;
    a->key = nullptr;
    a->value = nullptr;
    return a;
}

void CMapPtrToPtr::FreeAssoc(CAssoc* a) {
    a->pNext = m_pFreeList;
    m_pFreeList = a;
    if (--m_nCount == 0) RemoveAll();
}

CMapPtrToPtr::CAssoc* CMapPtrToPtr::GetAssocAt(void* key, UINT& hash) const {
    hash = HashKey(key) % m_nHashTableSize;
    if (!m_pHashTable) return nullptr;
    for (CAssoc* a = m_pHashTable[hash]; a; a = a->pNext)
        if (a->key == key) return a;
    return nullptr;
}

BOOL CMapPtrToPtr::Lookup(void* key, void*& value) const {
    UINT hash;
    CAssoc* a = GetAssocAt(key, hash);
    if (!a) return FALSE;
    value = a->value;
    return TRUE;
}

void*& CMapPtrToPtr::operator[](void* key) {
    UINT hash;
    CAssoc* a = GetAssocAt(key, hash);
    if (!a) {
        if (!m_pHashTable) InitHashTable(m_nHashTableSize);
        a = NewAssoc();
        a->key = key;
        a->pNext = m_pHashTable[hash];
        m_pHashTable[hash] = a;
    }
    return a->value;
}

BOOL CMapPtrToPtr::RemoveKey(void* key) {
    if (!m_pHashTable) return FALSE;
    CAssoc** link = &m_pHashTable[HashKey(key) % m_nHashTableSize];
    for (CAssoc* a = *link; a; link = &a->pNext, a = a->pNext) {
        if (a->key == key) {
            *link = a->pNext;
            FreeAssoc(a);
            return TRUE;
        }
    }
    return FALSE;
}

void CMapPtrToPtr::GetNextAssoc(POSITION& position, void*& key, void*& value) const {
    CAssoc* a = reinterpret_cast<CAssoc*>(position);
    if (!m_pHashTable || !position) {
        position = nullptr;
        return;
    }
    if (position == BEFORE_START_POSITION) {
        a = nullptr;
        for (UINT b = 0; b < m_nHashTableSize && !a; ++b) a = m_pHashTable[b];
        if (!a) {
            position = nullptr;
            return;
        }
    }
    key = a->key;
    value = a->value;
    // The next one: later in this bucket, else the first of a later bucket.
    CAssoc* next = a->pNext;
    if (!next)
        for (UINT b = HashKey(a->key) % m_nHashTableSize + 1; b < m_nHashTableSize && !next; ++b) next = m_pHashTable[b];
    position = reinterpret_cast<POSITION>(next);
}
