#include "framework/afx_string.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "framework/win_app.h"

CString::CString(const char* psz) : m_str(psz ? psz : "") {}

CString::CString(const char* pch, int nLength)
{
    if (pch && nLength > 0) m_str.assign(pch, static_cast<size_t>(nLength));
}

CString::CString(char ch, int nRepeat)
{
    if (nRepeat > 0) m_str.assign(static_cast<size_t>(nRepeat), ch);
}

CString& CString::operator=(const char* psz)
{
    // psz may point into this very text.
    std::string copy(psz ? psz : "");
    m_str.swap(copy);
    return *this;
}

char CString::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetLength()) return 0;
    return m_str[static_cast<size_t>(nIndex)];
}

void CString::SetAt(int nIndex, char ch)
{
    if (nIndex < 0 || nIndex >= GetLength()) return;
    m_str[static_cast<size_t>(nIndex)] = ch;
}

CString& CString::operator+=(const char* psz)
{
    if (psz) m_str.append(std::string(psz));  // copy first: psz may point into this text
    return *this;
}

CString& CString::operator+=(const CString& str)
{
    m_str.append(std::string(str.m_str));
    return *this;
}

CString& CString::operator+=(char ch)
{
    m_str.push_back(ch);
    return *this;
}

CString operator+(const CString& a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, const char* b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const char* a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

int CString::Compare(const char* psz) const
{
    return std::strcmp(m_str.c_str(), psz ? psz : "");
}

int CString::CompareNoCase(const char* psz) const
{
    return ::lstrcmpiA(m_str.c_str(), psz ? psz : "");
}

void CString::Format(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(const char* pszFormat, va_list args)
{
    if (!pszFormat) {
        m_str.clear();
        return;
    }
    // Measure first, then write: the text is never cut. The arguments may point
    // into this very text, so the result is built apart and swapped in.
    va_list measure;
    va_copy(measure, args);
    int n = std::vsnprintf(nullptr, 0, pszFormat, measure);
    va_end(measure);
    if (n < 0) {
        m_str.clear();
        return;
    }
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(&out[0], out.size(), pszFormat, args);
    out.resize(static_cast<size_t>(n));
    m_str.swap(out);
}

CString& CString::MakeLower()
{
    if (!m_str.empty()) ::CharLowerBuffA(&m_str[0], static_cast<DWORD>(m_str.size()));
    return *this;
}

CString& CString::MakeUpper()
{
    if (!m_str.empty()) ::CharUpperBuffA(&m_str[0], static_cast<DWORD>(m_str.size()));
    return *this;
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || nStart > GetLength()) return -1;
    size_t pos = m_str.find(ch, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* pszSub, int nStart) const
{
    if (!pszSub || nStart < 0 || nStart > GetLength()) return -1;
    size_t pos = m_str.find(pszSub, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const
{
    size_t pos = m_str.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int nCount) const
{
    if (nCount <= 0) return CString();
    if (nCount >= GetLength()) return *this;
    return CString(m_str.c_str(), nCount);
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0) nFirst = 0;
    if (nFirst >= GetLength() || nCount <= 0) return CString();
    if (nCount > GetLength() - nFirst) nCount = GetLength() - nFirst;
    return CString(m_str.c_str() + nFirst, nCount);
}

CString CString::Right(int nCount) const
{
    if (nCount <= 0) return CString();
    if (nCount >= GetLength()) return *this;
    return CString(m_str.c_str() + GetLength() - nCount, nCount);
}

CString& CString::TrimLeft()
{
    size_t pos = m_str.find_first_not_of(" \t\r\n");
    m_str.erase(0, pos == std::string::npos ? m_str.size() : pos);
    return *this;
}

CString& CString::TrimRight()
{
    size_t pos = m_str.find_last_not_of(" \t\r\n");
    m_str.erase(pos == std::string::npos ? 0 : pos + 1);
    return *this;
}

BOOL CString::LoadString(UINT nID)
{
    char buf[1024];
    int n = ::LoadStringA(AfxGetResourceHandle(), nID, buf, static_cast<int>(sizeof(buf)));
    if (n <= 0) {
        m_str.clear();
        return FALSE;
    }
    m_str.assign(buf, static_cast<size_t>(n));
    return TRUE;
}

char* CString::GetBuffer(int nMinBufLength)
{
    size_t need = nMinBufLength > 0 ? static_cast<size_t>(nMinBufLength) : 0;
    if (m_str.size() < need) m_str.resize(need, '\0');
    // std::string keeps a NUL after size(), so size() + 1 bytes are writable.
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0) {
        m_str.resize(std::strlen(m_str.c_str()));
    } else if (static_cast<size_t>(nNewLength) <= m_str.size()) {
        m_str.resize(static_cast<size_t>(nNewLength));
    }
}
