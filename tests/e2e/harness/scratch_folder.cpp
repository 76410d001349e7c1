#include "tests/e2e/harness/scratch_folder.h"

#include <windows.h>

#include <cstdio>

namespace e2e {

std::string ToWindowsPath(const std::string& strPath) {
    std::string out = (!strPath.empty() && strPath[0] == '/') ? "Z:" + strPath : strPath;
    for (char& c : out)
        if (c == '/') c = '\\';
    return out;
}

bool ReadFileBytes(const std::string& strPath, std::vector<uint8_t>* pBytes) {
    pBytes->clear();
    FILE* fp = std::fopen(strPath.c_str(), "rb");
    if (!fp) return false;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0) pBytes->insert(pBytes->end(), buf, buf + n);
    bool ok = !std::ferror(fp);
    std::fclose(fp);
    return ok;
}

bool ReadFileText(const std::string& strPath, std::string* pText) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(strPath, &bytes)) return false;
    pText->assign(bytes.begin(), bytes.end());
    return true;
}

bool WriteFileBytes(const std::string& strPath, const void* pData, size_t nSize) {
    FILE* fp = std::fopen(strPath.c_str(), "wb");
    if (!fp) return false;
    bool ok = nSize == 0 || std::fwrite(pData, 1, nSize, fp) == nSize;
    return std::fclose(fp) == 0 && ok;
}

bool WriteFileText(const std::string& strPath, const std::string& strText) {
    return WriteFileBytes(strPath, strText.data(), strText.size());
}

bool FileExists(const std::string& strPath) { return GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool MakeFolders(const std::string& strPath) {
    if (CreateDirectoryA(strPath.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
    size_t slash = strPath.find_last_of('\\');
    if (slash == std::string::npos || slash < 3) return false;
    return MakeFolders(strPath.substr(0, slash)) && CreateDirectoryA(strPath.c_str(), nullptr);
}

CScratchFolder::CScratchFolder(const std::string& strPath) : m_strPath(strPath), m_bOk(MakeFolders(strPath)) {
    if (!m_bOk) return;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((m_strPath + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !DeleteFileA(File(fd.cFileName).c_str()))
            m_bOk = false;  // a file of an earlier run that is still open would spoil this one
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

bool CScratchFolder::Put(const std::string& strName, const std::vector<uint8_t>& bytes) {
    return WriteFileBytes(File(strName), bytes.data(), bytes.size());
}

bool CScratchFolder::Put(const std::string& strName, const std::string& strText) {
    return WriteFileText(File(strName), strText);
}

bool CScratchFolder::CopyIn(const std::string& strSource, const std::string& strName) {
    return CopyFileA(strSource.c_str(), File(strName).c_str(), FALSE) != 0;
}

bool CScratchFolder::Remove(const std::string& strName) { return DeleteFileA(File(strName).c_str()) != 0; }

}  // namespace e2e
