// CString: the program's own small text class, named as the dialog code expects.
// Holds a NUL-terminated multi-byte (ANSI code page) text of any length; every
// operation keeps the terminating zero in place. Nothing throws: an allocation
// failure inside std::string would end the process, as the original framework
// did; the texts here are short.
#pragma once

#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;
    CString(const char* psz);               // NULL gives an empty text
    CString(const char* pch, int nLength);  // the first nLength bytes (no terminator needed)
    CString(char ch, int nRepeat = 1);
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(const char* psz);     // NULL gives an empty text

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }

    // The text, valid until the next change of this object.
    operator const char*() const { return m_str.c_str(); }
    const char* GetString() const { return m_str.c_str(); }
    char GetAt(int nIndex) const;            // 0 when nIndex is out of range
    char operator[](int nIndex) const { return GetAt(nIndex); }
    void SetAt(int nIndex, char ch);         // ignored when out of range

    CString& operator+=(const char* psz);
    CString& operator+=(const CString& str);
    CString& operator+=(char ch);
    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, const char* b);
    friend CString operator+(const char* a, const CString& b);

    // Byte-wise comparison (strcmp) and the case-insensitive one of the system
    // (lstrcmpiA): <0, 0, >0.
    int Compare(const char* psz) const;
    int CompareNoCase(const char* psz) const;
    friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, const char* b) { return a.Compare(b) != 0; }
    friend bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
    friend bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const char* a, const CString& b) { return b.Compare(a) != 0; }
    friend bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }

    // printf-style formatting; the result is as long as it needs to be (never cut).
    // Pass a CString argument as (const char*)str or str.GetString(): the object
    // itself must not go through "..."; the format attribute lets the compiler's
    // format check (-Wall) flag that and every other argument mismatch.
    void Format(const char* pszFormat, ...) __attribute__((format(gnu_printf, 2, 3)));
    void FormatV(const char* pszFormat, va_list args);

    // Case mapping of the whole text by the system (CharLowerBuffA / CharUpperBuffA),
    // so letters of the user's code page map too, and lead/trail bytes of double-byte
    // characters are left as the system decides.
    CString& MakeLower();
    CString& MakeUpper();

    // Positions are byte indexes; -1 when not found.
    int Find(char ch, int nStart = 0) const;
    int Find(const char* pszSub, int nStart = 0) const;
    int ReverseFind(char ch) const;
    CString Left(int nCount) const;             // clamped to the text
    CString Mid(int nFirst) const;              // clamped to the text
    CString Mid(int nFirst, int nCount) const;  // clamped to the text
    CString Right(int nCount) const;            // clamped to the text
    CString& TrimLeft();                        // blanks, tabs, CR, LF
    CString& TrimRight();

    // Loads string resource nID of the program's module (up to 1023 characters).
    // FALSE, and an empty text, when it does not exist.
    BOOL LoadString(UINT nID);

    // Direct writing: GetBuffer gives a buffer of at least nMinBufLength + 1 bytes
    // holding the current text; ReleaseBuffer(-1) takes the length up to the first
    // NUL, ReleaseBuffer(n) takes n bytes. No other operation may run in between.
    char* GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    std::string m_str;
};
