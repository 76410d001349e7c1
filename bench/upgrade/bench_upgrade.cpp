// What the engine adds to an upgrade on the host: a 1 MB raw upgrade through
// CFlashEngine::Run against the emulated drive (zero latency, waits replaced),
// against a bare loop that reads the same file into memory and sends the same
// 256 blocks through fgExecScsiCmd. Both in one run, interleaved, each timed
// many times; the median of the rounds' ratios is reported. The last line
// printed is
// "engine/bare ratio: R".
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "emulator/inprocess/inprocess_adapter.h"
#include "engine/flash_engine.h"
#include "platform/host_seam.h"
#include "scsi/scsi_transport.h"

namespace {

constexpr DWORD kImageBytes = 0x100000;
constexpr DWORD kBlock = 4096;
constexpr int kRounds = 101;
const char kModel[] = "KESTREL EMU DVD-RW 8X   ";

void NoWait(DWORD) {}
void IgnoreText(const char*) {}
void IgnoreProgress(int) {}
BYTE NeverStop() { return 0; }

double Seconds(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One emulated drive behind drive letter E:, fresh for every timed run so
// both sides find the drive in the same state.
struct Rig {
    std::unique_ptr<emu::CEmulatedDrive> pDrive;
    std::unique_ptr<emu::CInProcessAdapter> pAdapter;
    DRIVE_INFO drive = {};

    Rig() {
        emu::DriveConfig cfg;
        cfg.strVendor = "KESTREL";
        cfg.strProduct = "EMU DVD-RW 8X";
        cfg.strRevision = "1.00";
        pDrive = std::make_unique<emu::CEmulatedDrive>(cfg);
        pAdapter = std::make_unique<emu::CInProcessAdapter>(emu::AdapterConfig());
        pAdapter->AddDrive(pDrive.get());
        pAdapter->AttachLetter('e', pDrive.get());
        drive.hDevice = PlatOpenDrive('e');
        drive.dwAlignMask = 2047;
        std::snprintf(drive.szModel, sizeof drive.szModel, "%s(0)", kModel);
        std::snprintf(drive.szRevision, sizeof drive.szRevision, "1.00");
    }
    ~Rig() { PlatCloseHandle(drive.hDevice); }
};

double RunEngine(const std::string& strPath) {
    Rig rig;
    FLASH_PARAM param = {};
    param.drive = rig.drive;
    std::snprintf(param.sImagePath, sizeof param.sImagePath, "%s", strPath.c_str());
    std::snprintf(param.sDriveName, sizeof param.sDriveName, "%s", rig.drive.szModel);
    std::snprintf(param.sRevision, sizeof param.sRevision, "1.00");
    param.CBSetRevision = param.CBSetDriveName = param.CBShowMessage = param.CBShowStatus = IgnoreText;
    param.CBSetProgress = IgnoreProgress;
    param.CBIfTerminated = NeverStop;
    param.bUsePassThrough = 1;
    auto t0 = std::chrono::steady_clock::now();
    {
        CFlashEngine engine(param);
        engine.Run();
    }
    double s = Seconds(t0);
    if (rig.pDrive->LastCommit() != emu::CommitResult::kAccepted || rig.pDrive->BlocksReceived() != 256) {
        std::fprintf(stderr, "engine run did not complete\n");
        std::exit(1);
    }
    return s;
}

// The loader's share alone: load (fill, read, scan, lock) and release, as
// the engine does it; compare with the bare side's read of the same file.
double RunLoadOnly(const std::string& strPath) {
    FLASH_PARAM param = {};
    std::snprintf(param.sImagePath, sizeof param.sImagePath, "%s", strPath.c_str());
    std::snprintf(param.sDriveName, sizeof param.sDriveName, "%s", kModel);
    std::snprintf(param.sRevision, sizeof param.sRevision, "1.00");
    param.CBSetRevision = param.CBSetDriveName = param.CBShowMessage = param.CBShowStatus = IgnoreText;
    param.CBSetProgress = IgnoreProgress;
    param.CBIfTerminated = NeverStop;
    CFlashEngine engine(param);
    auto t0 = std::chrono::steady_clock::now();
    engine.LoadImage();
    PlatUnlockPages(engine._pBank[0], kImageBytes);
    PlatFreePages(engine._pBank[0]);
    return Seconds(t0);
}

double RunReadOnly(const std::string& strPath) {
    auto t0 = std::chrono::steady_clock::now();
    BYTE* pImage = static_cast<BYTE*>(PlatAllocPages(kImageBytes));
    FILE* fp = pImage ? std::fopen(strPath.c_str(), "rb") : nullptr;
    if (fp) {
        if (std::fread(pImage, 1, kImageBytes, fp) != kImageBytes) std::fprintf(stderr, "short read\n");
        std::fclose(fp);
    }
    PlatFreePages(pImage);
    return Seconds(t0);
}

double RunBare(const std::string& strPath) {
    Rig rig;
    auto t0 = std::chrono::steady_clock::now();
    // Memory for the image comes from the system the way the engine gets
    // its buffer, so both sides pay for fresh pages alike.
    BYTE* pImage = static_cast<BYTE*>(PlatAllocPages(kImageBytes));
    FILE* fp = pImage ? std::fopen(strPath.c_str(), "rb") : nullptr;
    size_t n = fp ? std::fread(pImage, 1, kImageBytes, fp) : 0;
    if (fp) std::fclose(fp);
    BYTE sense[32];
    int nOk = 0;
    for (DWORD off = 0; off < n; off += kBlock) {
        const DWORD dwAt = 32 + off;
        BYTE cdb[12] = {0x3B, 0x06, 0x00, static_cast<BYTE>(dwAt >> 16), static_cast<BYTE>(dwAt >> 8),
                        static_cast<BYTE>(dwAt), 0x00, 0x10, 0x00};
        nOk += fgExecScsiCmd(&rig.drive, SRB_DIR_OUT, kBlock, pImage + off, 12, cdb, 1, sense);
    }
    PlatFreePages(pImage);
    double s = Seconds(t0);
    if (nOk != 256 || rig.pDrive->BlocksReceived() != 256) {
        std::fprintf(stderr, "bare run did not complete\n");
        std::exit(1);
    }
    return s;
}

}  // namespace

int main() {
    char szDir[] = "/tmp/kestrel-bench-XXXXXX";
    if (!mkdtemp(szDir) || chdir(szDir) != 0) return 1;
    const std::string strPath = std::string(szDir) + "/fw.bin";
    {
        std::vector<BYTE> image(kImageBytes);
        uint32_t x = 1;
        for (BYTE& b : image) {
            x = x * 1103515245u + 12345u;
            b = static_cast<BYTE>(x >> 16);
        }
        std::memcpy(&image[kImageBytes / 2], kModel, 24);
        std::memcpy(&image[kImageBytes / 2 + 24], "1.00", 4);
        FILE* fp = std::fopen(strPath.c_str(), "wb");
        if (!fp || std::fwrite(image.data(), 1, image.size(), fp) != image.size()) return 1;
        std::fclose(fp);
    }
    hostseam::Reset();
    PlatSetWaitHook(NoWait);

    std::vector<double> engine, bare, ratio, load, read;
    RunEngine(strPath);  // warm the file cache and the allocator
    RunBare(strPath);
    for (int i = 0; i < kRounds; ++i) {
        engine.push_back(RunEngine(strPath));
        bare.push_back(RunBare(strPath));
        // Paired, so a burst of load from elsewhere hits both sides of a round.
        ratio.push_back(engine.back() / bare.back());
        load.push_back(RunLoadOnly(strPath));
        read.push_back(RunReadOnly(strPath));
    }
    const double dEngine = Median(engine), dBare = Median(bare);
    std::printf("1 MB raw upgrade, %d rounds, medians\n", kRounds);
    std::printf("engine (Run, pass-through): %.3f ms\n", dEngine * 1e3);
    std::printf("bare transport loop:        %.3f ms\n", dBare * 1e3);
    std::printf("load alone (engine): %.3f ms, read alone (bare): %.3f ms\n", Median(load) * 1e3,
                Median(read) * 1e3);
    std::printf("ratio of the medians:       %.2f\n", dEngine / dBare);
    std::printf("engine/bare ratio: %.2f\n", Median(ratio));

    std::remove(strPath.c_str());
    std::remove("sum.txt");
    PlatSetWaitHook(nullptr);
    hostseam::Reset();
    if (chdir("/") == 0) rmdir(szDir);
    return 0;
}
