#include "emulator/wnaspi32/aspi_config.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <sstream>

#include "emulator/wnaspi32/default_drive.h"

namespace emu {

namespace {

const BYTE kMaxAdapters = 8;
const BYTE kMaxTargets = 16;

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// A value in double quotes is taken verbatim (so blanks can be kept).
std::string Unquote(const std::string& s) {
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
    return s;
}

// Decimal or 0x-hexadecimal, whole text, within [0, dwMax].
bool ParseNumber(const std::string& s, DWORD dwMax, DWORD& dwValue) {
    if (s.empty() || s[0] == '-' || s[0] == '+') return false;
    errno = 0;
    char* pEnd = nullptr;
    unsigned long long v = std::strtoull(s.c_str(), &pEnd, 0);
    if (errno != 0 || pEnd == s.c_str() || *pEnd != '\0' || v > dwMax) return false;
    dwValue = static_cast<DWORD>(v);
    return true;
}

bool IsAbsolutePath(const std::string& s) {
    return (!s.empty() && (s[0] == '/' || s[0] == '\\')) || (s.size() >= 2 && s[1] == ':');
}

// "03/0C/00": sense key, ASC, ASCQ in hexadecimal.
bool ParseSense(const std::string& s, Fault& fault) {
    std::istringstream in(s);
    std::string part[3];
    for (std::string& p : part)
        if (!std::getline(in, p, '/')) return false;
    std::string rest;
    if (std::getline(in, rest)) return false;
    DWORD v[3];
    for (int i = 0; i < 3; ++i)
        if (!ParseNumber("0x" + part[i], 0xFF, v[i])) return false;
    fault.bySenseKey = static_cast<BYTE>(v[0]);
    fault.byAsc = static_cast<BYTE>(v[1]);
    fault.byAscq = static_cast<BYTE>(v[2]);
    return true;
}

// "block N | header | commit | inquiry", then any of "attempt N",
// "count N|every", "sense KK/AA/QQ".
bool ParseFault(const std::string& s, Fault& fault, std::string& strError) {
    std::istringstream in(s);
    std::string word;
    in >> word;
    word = Lower(word);
    if (word == "block") fault.ePoint = FaultPoint::kBlock;
    else if (word == "header") fault.ePoint = FaultPoint::kHeader;
    else if (word == "commit") fault.ePoint = FaultPoint::kCommit;
    else if (word == "inquiry") fault.ePoint = FaultPoint::kInquiry;
    else {
        strError = "fault point must be block, header, commit or inquiry";
        return false;
    }
    if (fault.ePoint == FaultPoint::kBlock) {
        std::string strBlock;
        DWORD v = 0;
        // "block block N" was the first form of this line; files written
        // for it still read the same.
        if ((in >> strBlock) && Lower(strBlock) == "block") in >> strBlock;
        if (!in || !ParseNumber(strBlock, 0xFFFFFF, v)) {
            strError = "a block fault needs the block number: 'block N ...'";
            return false;
        }
        fault.dwBlock = v;
    }
    std::string value;
    while (in >> word) {
        word = Lower(word);
        if (!(in >> value)) {
            strError = "fault option '" + word + "' needs a value";
            return false;
        }
        DWORD v = 0;
        if (word == "attempt" && ParseNumber(value, 0xFFFF, v) && v >= 1) {
            fault.dwFirstAttempt = v;
        } else if (word == "count" && Lower(value) == "every") {
            fault.dwAttempts = Fault::kEveryAttempt;
        } else if (word == "count" && ParseNumber(value, 0xFFFF, v) && v >= 1) {
            fault.dwAttempts = v;
        } else if (word == "sense" && ParseSense(value, fault)) {
        } else {
            strError = "bad fault option '" + word + " " + value + "'";
            return false;
        }
    }
    return true;
}

DriveConfig DefaultDrive(const std::string& strBaseDir) {
    DriveConfig d;
    d.strVendor = kDefaultVendor;
    d.strProduct = kDefaultProduct;
    d.strRevision = kDefaultRevision;
    d.strRevisionAfterCommit = kDefaultRevisionAfterCommit;
    d.eAspiCompletion = AspiCompletion::kPending;
    d.strReportPath = DefaultReportPath(strBaseDir, 0, 0);
    return d;
}

class Parser {
public:
    Parser(const std::string& strBaseDir, std::vector<std::string>& errors) : m_strBaseDir(strBaseDir), m_errors(errors) {}

    void Line(int nLine, const std::string& strRaw) {
        m_nLine = nLine;
        std::string s = Trim(strRaw);
        if (s.empty() || s[0] == '#' || s[0] == ';') return;
        if (s[0] == '[') return Section(s);
        size_t eq = s.find('=');
        if (eq == std::string::npos) return Error("expected 'key = value' or a [section]");
        std::string strKey = Lower(Trim(s.substr(0, eq)));
        std::string strValue = Unquote(Trim(s.substr(eq + 1)));
        switch (m_eSection) {
        case kNone: return Error("'" + strKey + "' outside a [drive] or [adapter N] section");
        case kAdapter: return AdapterKey(strKey, strValue);
        case kDrive: return DriveKey(strKey, strValue);
        }
    }

    void Finish(AspiConfig& config) {
        config.drives = m_drives;
        // Enough adapters for every drive and every adapter section.
        size_t nAdapters = m_adapters.empty() ? 0 : m_adapters.rbegin()->first + 1u;
        for (const DriveConfig& d : m_drives) nAdapters = std::max<size_t>(nAdapters, d.byHostId + 1u);
        config.adapters.assign(nAdapters, AspiAdapterConfig());
        for (const auto& a : m_adapters) config.adapters[a.first] = a.second;
        std::map<std::pair<int, int>, bool> seen;
        for (const DriveConfig& d : m_drives) {
            if (seen[{d.byHostId, d.byTargetId}]) {
                m_errors.push_back("two drives at adapter " + std::to_string(d.byHostId) + " target " +
                                   std::to_string(d.byTargetId));
            }
            seen[{d.byHostId, d.byTargetId}] = true;
        }
    }

private:
    enum SectionKind { kNone, kAdapter, kDrive };

    void Error(const std::string& strMessage) {
        m_errors.push_back("line " + std::to_string(m_nLine) + ": " + strMessage);
    }

    void Section(const std::string& s) {
        if (s.back() != ']') return Error("unclosed section header");
        std::istringstream in(s.substr(1, s.size() - 2));
        std::string strName, strNumber, strRest;
        in >> strName >> strNumber >> strRest;
        strName = Lower(strName);
        if (strName == "drive" && strNumber.empty()) {
            m_eSection = kDrive;
            m_drives.push_back(DefaultDrive(m_strBaseDir));
            m_bReportGiven = false;
            return;
        }
        DWORD dwAdapter = 0;
        if (strName == "adapter" && strRest.empty() && ParseNumber(strNumber, kMaxAdapters - 1, dwAdapter)) {
            m_eSection = kAdapter;
            m_nAdapter = static_cast<int>(dwAdapter);
            m_adapters[m_nAdapter];
            return;
        }
        m_eSection = kNone;
        Error("unknown section '" + s + "' (expected [drive] or [adapter N], N below 8)");
    }

    void AdapterKey(const std::string& strKey, const std::string& strValue) {
        AspiAdapterConfig& a = m_adapters[m_nAdapter];
        DWORD v = 0;
        if (strKey == "max_targets" && ParseNumber(strValue, kMaxTargets, v)) a.byMaxTargets = static_cast<BYTE>(v);
        else if (strKey == "alignment_mask" && ParseNumber(strValue, 0xFFFF, v)) a.wAlignMask = static_cast<WORD>(v);
        else if (strKey == "max_transfer" && ParseNumber(strValue, 0xFFFFFFFFu, v)) a.dwMaxTransfer = v;
        else Error("bad adapter setting '" + strKey + " = " + strValue + "'");
    }

    void Text(std::string& strField, const std::string& strValue, size_t cchMax, const char* pszKey) {
        if (strValue.size() > cchMax) return Error(std::string(pszKey) + " is longer than " + std::to_string(cchMax));
        strField = strValue;
    }

    void DriveKey(const std::string& strKey, const std::string& strValue) {
        DriveConfig& d = m_drives.back();
        DWORD v = 0;
        if (strKey == "vendor") return Text(d.strVendor, strValue, 8, "vendor");
        if (strKey == "product") return Text(d.strProduct, strValue, 16, "product");
        if (strKey == "revision") return Text(d.strRevision, strValue, 4, "revision");
        if (strKey == "revision_after_commit") return Text(d.strRevisionAfterCommit, strValue, 4, "revision_after_commit");
        if (strKey == "adapter" && ParseNumber(strValue, kMaxAdapters - 1, v)) {
            d.byHostId = static_cast<BYTE>(v);
        } else if (strKey == "target" && ParseNumber(strValue, kMaxTargets - 1, v)) {
            d.byTargetId = static_cast<BYTE>(v);
        } else if (strKey == "peripheral" && ParseNumber(strValue, 0xFF, v)) {
            d.byPeripheral = static_cast<BYTE>(v);
        } else if (strKey == "buffer_size" && ParseNumber(strValue, 0x4000000, v) && v >= 32) {
            d.dwBufferSize = v;
        } else if (strKey == "not_ready_ms" && ParseNumber(strValue, 0xFFFFFFFFu, v)) {
            d.dwNotReadyMs = v;
        } else if (strKey == "completion" && (Lower(strValue) == "immediate" || Lower(strValue) == "pending")) {
            d.eAspiCompletion = Lower(strValue) == "pending" ? AspiCompletion::kPending : AspiCompletion::kImmediate;
        } else if (strKey == "pending_delay_ms" && ParseNumber(strValue, 60000, v)) {
            d.dwAspiPendingDelayMs = v;
        } else if (strKey == "report" && !strValue.empty()) {
            d.strReportPath = IsAbsolutePath(strValue) ? strValue : m_strBaseDir + strValue;
            m_bReportGiven = true;
            return;
        } else if (strKey == "fault") {
            Fault fault;
            std::string strError;
            if (!ParseFault(strValue, fault, strError)) return Error(strError);
            d.faults.push_back(fault);
        } else {
            return Error("bad drive setting '" + strKey + " = " + strValue + "'");
        }
        // The default report name follows the drive's address.
        if (!m_bReportGiven) d.strReportPath = DefaultReportPath(m_strBaseDir, d.byHostId, d.byTargetId);
    }

    std::string m_strBaseDir;
    std::vector<std::string>& m_errors;
    int m_nLine = 0;
    SectionKind m_eSection = kNone;
    int m_nAdapter = 0;
    bool m_bReportGiven = false;
    std::map<int, AspiAdapterConfig> m_adapters;
    std::vector<DriveConfig> m_drives;
};

}  // namespace

std::string DefaultReportPath(const std::string& strBaseDir, BYTE byHostId, BYTE byTargetId) {
    return strBaseDir + "wnaspi32-report-" + std::to_string(byHostId) + "-" + std::to_string(byTargetId) + ".txt";
}

AspiConfig DefaultAspiConfig(const std::string& strBaseDir) {
    AspiConfig config;
    config.adapters.assign(1, AspiAdapterConfig());
    config.drives.push_back(DefaultDrive(strBaseDir));
    return config;
}

bool ParseAspiConfig(const std::string& strText, const std::string& strBaseDir, AspiConfig& config,
                     std::vector<std::string>& errors) {
    errors.clear();
    Parser parser(strBaseDir, errors);
    std::istringstream in(strText);
    std::string strLine;
    for (int nLine = 1; std::getline(in, strLine); ++nLine) parser.Line(nLine, strLine);
    parser.Finish(config);
    return errors.empty();
}

}  // namespace emu
