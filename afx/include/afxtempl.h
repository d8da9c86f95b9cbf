// CArray: the framework's growable array, with MFC's growth rule. Free of Win32, so that portable code
// (the list control's row records) grows its arrays exactly as the framework's arrays grow.
//
// Growth: an empty array is allocated with exactly the size asked for; a larger size than the
// capacity grows it to the larger of that size and the capacity plus the growth step, which by
// default is an eighth of the current size, at least 4 and at most 1024. New elements are
// value-initialised (zero for numbers and pointers) before they are set.
#pragma once
#include <new>
#include <utility>

// The capacity an array grows to when it must hold `new_size` elements: its current size and capacity,
// and its growth step (0: the default heuristic).
inline int AfxArrayGrownCapacity(int size, int capacity, int new_size, int grow_by) {
    if (capacity == 0) return new_size;
    if (new_size <= capacity) return capacity;
    int step = grow_by;
    if (step == 0) {
        step = size / 8;
        if (step < 4) step = 4;
        if (step > 1024) step = 1024;
    }
    return new_size < capacity + step ? capacity + step : new_size;
}

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
public:
    CArray() = default;
    ~CArray() { SetSize(0); }
    CArray(const CArray& other) { Copy(other); }
    CArray& operator=(const CArray& other) {
        if (this != &other) Copy(other);
        return *this;
    }

    int GetSize() const { return m_nSize; }
    int GetCount() const { return m_nSize; }
    bool IsEmpty() const { return m_nSize == 0; }
    int GetUpperBound() const { return m_nSize - 1; }
    // The number of elements the array holds room for (not an MFC member; the growth tests read it).
    int GetCapacity() const { return m_nMaxSize; }

    // Sets the size; `grow_by` other than -1 also sets the growth step (0: the default heuristic).
    void SetSize(int new_size, int grow_by = -1) {
        if (grow_by != -1) m_nGrowBy = grow_by;
        if (new_size < 0) new_size = 0;
        if (new_size == 0) {
            destroy(0, m_nSize);
            ::operator delete(m_pData);
            m_pData = nullptr;
            m_nSize = m_nMaxSize = 0;
            return;
        }
        if (new_size > m_nMaxSize) {
            int capacity = AfxArrayGrownCapacity(m_nSize, m_nMaxSize, new_size, m_nGrowBy);
            TYPE* data = static_cast<TYPE*>(::operator new(sizeof(TYPE) * (size_t)capacity));
            for (int i = 0; i < m_nSize; ++i) {
                new (&data[i]) TYPE(std::move(m_pData[i]));
                m_pData[i].~TYPE();
            }
            ::operator delete(m_pData);
            m_pData = data;
            m_nMaxSize = capacity;
        }
        if (new_size > m_nSize) {
            for (int i = m_nSize; i < new_size; ++i) new (&m_pData[i]) TYPE();
        } else {
            destroy(new_size, m_nSize);
        }
        m_nSize = new_size;
    }
    void RemoveAll() { SetSize(0); }
    void FreeExtra() {
        if (m_nSize == m_nMaxSize) return;
        CArray copy;
        copy.Copy(*this);
        swap(copy);
    }

    TYPE GetAt(int i) const { return m_pData[i]; }
    void SetAt(int i, ARG_TYPE element) { m_pData[i] = element; }
    TYPE& ElementAt(int i) { return m_pData[i]; }
    const TYPE& ElementAt(int i) const { return m_pData[i]; }
    TYPE& operator[](int i) { return m_pData[i]; }
    const TYPE& operator[](int i) const { return m_pData[i]; }
    TYPE* GetData() { return m_pData; }
    const TYPE* GetData() const { return m_pData; }

    // Sets element i, growing the array when i lies beyond its end.
    void SetAtGrow(int i, ARG_TYPE element) {
        if (i < 0) return;
        if (i >= m_nSize) SetSize(i + 1);
        m_pData[i] = element;
    }
    int Add(ARG_TYPE element) {
        int i = m_nSize;
        SetAtGrow(i, element);
        return i;
    }
    int Append(const CArray& other) {
        int old = m_nSize;
        if (&other == this) {
            CArray copy(other);
            return Append(copy);
        }
        SetSize(m_nSize + other.m_nSize);
        for (int i = 0; i < other.m_nSize; ++i) m_pData[old + i] = other.m_pData[i];
        return old;
    }
    void Copy(const CArray& other) {
        if (&other == this) return;
        SetSize(other.m_nSize);
        for (int i = 0; i < other.m_nSize; ++i) m_pData[i] = other.m_pData[i];
    }
    // Inserts `count` copies of `element` at `index` (beyond the end: the gap is value-initialised).
    void InsertAt(int index, ARG_TYPE element, int count = 1) {
        if (index < 0 || count <= 0) return;
        TYPE value = element;  // `element` may refer into this array
        if (index >= m_nSize) {
            SetSize(index + count);
        } else {
            int old = m_nSize;
            SetSize(m_nSize + count);
            for (int i = old - 1; i >= index; --i) m_pData[i + count] = std::move(m_pData[i]);
        }
        for (int i = 0; i < count; ++i) m_pData[index + i] = value;
    }
    void RemoveAt(int index, int count = 1) {
        if (index < 0 || count <= 0 || index >= m_nSize) return;
        if (count > m_nSize - index) count = m_nSize - index;
        for (int i = index; i + count < m_nSize; ++i) m_pData[i] = std::move(m_pData[i + count]);
        SetSize(m_nSize - count);
    }

private:
    void destroy(int from, int to) {
        for (int i = from; i < to; ++i) m_pData[i].~TYPE();
    }
    void swap(CArray& other) {
        std::swap(m_pData, other.m_pData);
        std::swap(m_nSize, other.m_nSize);
        std::swap(m_nMaxSize, other.m_nMaxSize);
        std::swap(m_nGrowBy, other.m_nGrowBy);
    }

    TYPE* m_pData = nullptr;
    int m_nSize = 0;
    int m_nMaxSize = 0;
    int m_nGrowBy = 0;
};
