// The framework's collections: arrays of strings, pointers and numbers (CArray with MFC's growth
// rule, afxtempl.h) and the pointer-to-pointer map with MFC's hashing, block allocation and order of
// iteration.
#pragma once
#include "afxtempl.h"

class CStringArray : public CArray<CString, const char*> {};
class CPtrArray : public CArray<void*, void*> {};
class CUIntArray : public CArray<UINT, UINT> {};
class CWordArray : public CArray<WORD, WORD> {};
class CDWordArray : public CArray<DWORD, DWORD> {};

// An opaque place in an iteration of a map (as MFC's POSITION).
#ifndef AFX_POSITION_DEFINED
#define AFX_POSITION_DEFINED
struct __POSITION {};
typedef __POSITION* POSITION;
#endif
#define BEFORE_START_POSITION ((POSITION)-1L)

// Keys hash to `key >> 4` modulo the table size (17 unless InitHashTable sets another before the first
// insertion); associations come from blocks of `block_size` and go back to a free list; iteration runs
// through the buckets in order and each bucket from its newest entry.
class CMapPtrToPtr {
public:
    explicit CMapPtrToPtr(int block_size = 10);
    ~CMapPtrToPtr();
    CMapPtrToPtr(const CMapPtrToPtr&) = delete;
    CMapPtrToPtr& operator=(const CMapPtrToPtr&) = delete;

    int GetCount() const { return m_nCount; }
    int GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }
    BOOL Lookup(void* key, void*& value) const;
    void*& operator[](void* key);
    void SetAt(void* key, void* value) { (*this)[key] = value; }
    BOOL RemoveKey(void* key);
    void RemoveAll();
    POSITION GetStartPosition() const { return m_nCount == 0 ? nullptr : BEFORE_START_POSITION; }
    void GetNextAssoc(POSITION& position, void*& key, void*& value) const;
    UINT GetHashTableSize() const { return m_nHashTableSize; }
    void InitHashTable(UINT size, BOOL allocate_now = TRUE);
    UINT HashKey(void* key) const { return (UINT)((UINT_PTR)key >> 4); }

private:
    struct CAssoc {
        CAssoc* pNext;
        void* key;
        void* value;
    };
    CAssoc* NewAssoc();
    void FreeAssoc(CAssoc* assoc);
    CAssoc* GetAssocAt(void* key, UINT& hash) const;

    CAssoc** m_pHashTable = nullptr;
    UINT m_nHashTableSize = 17;
    int m_nCount = 0;
    CAssoc* m_pFreeList = nullptr;
    struct CPlex* m_pBlocks = nullptr;
    int m_nBlockSize;
};
