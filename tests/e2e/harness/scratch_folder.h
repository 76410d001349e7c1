// The folder a scenario runs the program in: emptied at the start, then
// given the program, the emulated drive's library, its configuration and the
// scenario's allow-list and firmware files. Paths are Windows paths; Unix
// paths from the command line are mapped through Wine's Z: drive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// "/a/b" -> "Z:\a\b"; anything else is returned with '/' turned into '\'.
std::string ToWindowsPath(const std::string& strPath);

bool ReadFileBytes(const std::string& strPath, std::vector<uint8_t>* pBytes);
bool ReadFileText(const std::string& strPath, std::string* pText);
bool WriteFileBytes(const std::string& strPath, const void* pData, size_t nSize);
bool WriteFileText(const std::string& strPath, const std::string& strText);
bool FileExists(const std::string& strPath);
// Creates the folder and its missing parents; true when it exists afterwards.
bool MakeFolders(const std::string& strPath);

class CScratchFolder {
public:
    // Creates strPath (and its parents) and deletes the files it holds.
    explicit CScratchFolder(const std::string& strPath);
    bool Ok() const { return m_bOk; }
    const std::string& Path() const { return m_strPath; }
    std::string File(const std::string& strName) const { return m_strPath + "\\" + strName; }

    bool Put(const std::string& strName, const std::vector<uint8_t>& bytes);
    bool Put(const std::string& strName, const std::string& strText);
    bool CopyIn(const std::string& strSource, const std::string& strName);
    bool Remove(const std::string& strName);
    // A folder that could not be filled is not fit for a run.
    void MarkFailed() { m_bOk = false; }

private:
    std::string m_strPath;
    bool m_bOk;
};

}  // namespace e2e
