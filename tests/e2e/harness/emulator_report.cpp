#include "tests/e2e/harness/emulator_report.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "tests/e2e/harness/scratch_folder.h"

namespace e2e {

size_t EmulatorReport::CountCdb(const std::string& strPrefix) const {
    size_t n = 0;
    for (const std::string& c : commands)
        if (c.compare(0, 4 + strPrefix.size(), "cdb " + strPrefix) == 0) ++n;
    return n;
}

namespace {
// "key: value" -> value when the line starts with key.
bool Field(const std::string& line, const char* key, std::string* pValue) {
    std::string k = std::string(key) + ": ";
    if (line.compare(0, k.size(), k) != 0) return false;
    *pValue = line.substr(k.size());
    return true;
}
}  // namespace

bool ReadEmulatorReport(const std::string& strPath, EmulatorReport* p, std::string* pError) {
    *p = EmulatorReport();
    std::string text;
    if (!ReadFileText(strPath, &text)) {
        *pError = "no emulator report at " + strPath;
        return false;
    }
    std::istringstream in(text);
    std::string line, v;
    int seen = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t colon = line.find(": cdb ");
        if (colon != std::string::npos && line.find_first_not_of("0123456789") == colon) {
            p->commands.push_back(line.substr(colon + 2));
        } else if (Field(line, "image bytes", &v)) {
            p->ulImageBytes = std::strtoul(v.c_str(), nullptr, 10);
            seen |= 1;
        } else if (Field(line, "blocks received", &v)) {
            p->ulBlocksReceived = std::strtoul(v.c_str(), nullptr, 10);
            seen |= 2;
        } else if (Field(line, "header sum", &v)) {
            p->uHeaderSum = static_cast<unsigned>(std::strtoul(v.c_str(), nullptr, 16));
            p->bHeaderReceived = v.find("no header") == std::string::npos;
            seen |= 4;
        } else if (Field(line, "drive sum", &v)) {
            p->uDriveSum = static_cast<unsigned>(std::strtoul(v.c_str(), nullptr, 16));
            seen |= 8;
        } else if (Field(line, "commit", &v)) {
            p->strCommit = v;
            seen |= 16;
        } else if (Field(line, "identity", &v)) {
            p->strIdentity = v;
            seen |= 32;
        }
    }
    if (seen != 63) {
        *pError = "emulator report " + strPath + " lacks summary lines:\n" + text;
        return false;
    }
    std::string bin = strPath;
    if (bin.size() > 4 && bin.compare(bin.size() - 4, 4, ".txt") == 0) bin.resize(bin.size() - 4);
    ReadFileBytes(bin + ".bin", &p->image);
    return true;
}

}  // namespace e2e
