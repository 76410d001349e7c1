// The Intel HEX loader against `objcopy -I ihex -O binary`, in one run.
//
// Makes a 1 MB image (16 bytes short of 1 MB: a byte at 0xFFFFF is refused by
// the loader), writes it as Intel HEX with 16-byte records and CR LF line ends
// (about 2.9 MB of text) twice: once with this program's segment-advance
// records, once with standard extended linear address records for objcopy.
// Loads and converts each several times, interleaved, checks that both give
// the same bytes, and prints the ratio of the median times last.
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/flash_engine.h"
#include "platform/platform.h"

extern char** environ;

namespace {

const int kRepetitions = 9;
const size_t kImageBytes = 0x100000 - 16;
const size_t kRecordBytes = 16;

void IgnoreText(const char*) {}
void IgnoreProgress(int) {}
BYTE NeverStop() { return 0; }

void AppendRecord(std::string& strOut, int nType, unsigned uAddress, const BYTE* pData, size_t n) {
    static const char kDigits[] = "0123456789ABCDEF";
    BYTE head[4] = {static_cast<BYTE>(n), static_cast<BYTE>(uAddress >> 8),
                    static_cast<BYTE>(uAddress), static_cast<BYTE>(nType)};
    unsigned uSum = 0;
    strOut += ':';
    auto put = [&](BYTE b) {
        uSum += b;
        strOut += kDigits[b >> 4];
        strOut += kDigits[b & 15];
    };
    for (BYTE b : head) put(b);
    for (size_t k = 0; k < n; ++k) put(pData[k]);
    put(static_cast<BYTE>(0x100 - (uSum & 0xFF)));
    strOut += "\r\n";
}

// bStandard: type 04 upper-address records; else this program's type 55.
std::string MakeHex(const std::vector<BYTE>& image, bool bStandard) {
    std::string s;
    s.reserve(image.size() * 3);
    for (size_t a = 0; a < image.size(); a += kRecordBytes) {
        if (a % 0x10000 == 0 && a != 0) {
            if (bStandard) {
                const BYTE upper[2] = {static_cast<BYTE>(a >> 24), static_cast<BYTE>(a >> 16)};
                AppendRecord(s, 0x04, 0, upper, 2);
            } else {
                AppendRecord(s, 0x55, 0, nullptr, 0);
            }
        }
        AppendRecord(s, 0x00, static_cast<unsigned>(a & 0xFFFF), &image[a],
                     std::min(kRecordBytes, image.size() - a));
    }
    AppendRecord(s, 0x01, 0, nullptr, 0);
    return s;
}

bool WriteAll(const std::string& strPath, const std::string& strBytes) {
    FILE* fp = std::fopen(strPath.c_str(), "wb");
    if (!fp) return false;
    const bool bOk = std::fwrite(strBytes.data(), 1, strBytes.size(), fp) == strBytes.size();
    return std::fclose(fp) == 0 && bOk;
}

std::string ReadAll(const std::string& strPath) {
    std::string s;
    FILE* fp = std::fopen(strPath.c_str(), "rb");
    if (!fp) return s;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0) s.append(buf, n);
    std::fclose(fp);
    return s;
}

double Seconds(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One full load as the procedure makes it; the loaded bytes when wanted.
bool TimeLoad(const FLASH_PARAM& param, double* pSeconds, std::string* pImage) {
    const auto t0 = std::chrono::steady_clock::now();
    CFlashEngine engine(param);
    const int nResult = engine.LoadImage();
    *pSeconds = Seconds(t0);
    if (nResult == 1 && pImage)
        pImage->assign(reinterpret_cast<const char*>(engine._pBank[0]), engine._dwImageSize);
    if (engine._pBank[0]) {
        PlatUnlockPages(engine._pBank[0], CFlashEngine::kImageSize);
        PlatFreePages(engine._pBank[0]);
    }
    return nResult == 1;
}

bool TimeObjcopy(const std::string& strIn, const std::string& strOut, double* pSeconds) {
    const char* argv[] = {"objcopy", "-I", "ihex", "-O", "binary", strIn.c_str(), strOut.c_str(), nullptr};
    const auto t0 = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawnp(&pid, "objcopy", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
        return false;
    int nStatus = 0;
    if (waitpid(pid, &nStatus, 0) != pid) return false;
    *pSeconds = Seconds(t0);
    return WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0;
}

}  // namespace

int main() {
    std::string strDir = (std::filesystem::temp_directory_path() / "kestrel-bench-XXXXXX").string();
    if (!mkdtemp(strDir.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string strOurs = strDir + "/image.hex";
    const std::string strStandard = strDir + "/standard.hex";
    const std::string strBinary = strDir + "/standard.bin";

    std::vector<BYTE> image(kImageBytes);
    unsigned x = 12345;
    for (BYTE& b : image) {
        x = x * 1103515245u + 12345u;
        b = static_cast<BYTE>(x >> 16);
    }
    const std::string strOursText = MakeHex(image, false);
    if (!WriteAll(strOurs, strOursText) || !WriteAll(strStandard, MakeHex(image, true))) {
        std::fprintf(stderr, "cannot write the test files in %s\n", strDir.c_str());
        return 1;
    }
    std::printf("image: %zu bytes; Intel HEX text: %zu bytes\n", image.size(), strOursText.size());

    FLASH_PARAM param;
    std::memset(&param, 0, sizeof param);
    std::snprintf(param.sImagePath, sizeof param.sImagePath, "%s", strOurs.c_str());
    param.bHexImage = 1;
    param.CBSetRevision = param.CBSetDriveName = param.CBShowMessage = param.CBShowStatus = IgnoreText;
    param.CBSetProgress = IgnoreProgress;
    param.CBIfTerminated = NeverStop;

    // One untimed round of each warms the file cache and checks the output.
    double dSeconds = 0;
    std::string strLoaded;
    if (!TimeLoad(param, &dSeconds, &strLoaded) || !TimeObjcopy(strStandard, strBinary, &dSeconds)) {
        std::fprintf(stderr, "the loader or objcopy failed\n");
        return 1;
    }
    const std::string strObjcopy = ReadAll(strBinary);
    if (strLoaded != strObjcopy ||
        strLoaded != std::string(reinterpret_cast<const char*>(image.data()), image.size())) {
        std::fprintf(stderr, "loaded image (%zu bytes) differs from objcopy's (%zu bytes)\n",
                     strLoaded.size(), strObjcopy.size());
        return 1;
    }

    std::vector<double> loader, objcopy;
    for (int r = 0; r < kRepetitions; ++r) {
        if (!TimeLoad(param, &dSeconds, nullptr)) return 1;
        loader.push_back(dSeconds);
        if (!TimeObjcopy(strStandard, strBinary, &dSeconds)) return 1;
        objcopy.push_back(dSeconds);
    }
    std::filesystem::remove_all(strDir);

    const double dLoader = Median(loader), dObjcopy = Median(objcopy);
    std::printf("loader:  median %.2f ms of %d (best %.2f ms)\n", dLoader * 1e3, kRepetitions,
                *std::min_element(loader.begin(), loader.end()) * 1e3);
    std::printf("objcopy: median %.2f ms of %d (best %.2f ms)\n", dObjcopy * 1e3, kRepetitions,
                *std::min_element(objcopy.begin(), objcopy.end()) * 1e3);
    std::printf("loader/objcopy ratio: %.2f\n", dLoader / dObjcopy);
    return 0;
}
