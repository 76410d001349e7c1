#include "engine/flash_engine.h"

#include <cstring>

#include "engine/error_messages.h"

WORD CFlashEngine::_total = 0;
DWORD CFlashEngine::_dwSegment = 0;
BYTE CFlashEngine::_bModelFound = 0;
BYTE CFlashEngine::_bRevFound = 0;

CFlashEngine::CFlashEngine(const FLASH_PARAM& param)
    : drive(param.drive),
      bHexImage(param.bHexImage),
      CBSetRevision(param.CBSetRevision),
      CBSetDriveName(param.CBSetDriveName),
      CBShowMessage(param.CBShowMessage),
      CBShowStatus(param.CBShowStatus),
      CBSetProgress(param.CBSetProgress),
      CBIfTerminated(param.CBIfTerminated),
      bUsePassThrough(param.bUsePassThrough),
      _fpInput(nullptr),
      _fpLog(nullptr),
      _pBank{},
      _byBank(0),
      _wBankOffset(0),
      _dwImageSize(0),
      _byRecordSum(0),
      _wCheckSum(0),
      _wSecSum(0) {
    std::memcpy(sImagePath, param.sImagePath, sizeof sImagePath);
    std::memcpy(sDriveName, param.sDriveName, sizeof sDriveName);
    std::memcpy(sRevision, param.sRevision, sizeof sRevision);
}

CFlashEngine::~CFlashEngine() {}

void CFlashEngine::ReportError(int nIndex) {
    char szLine[96];
    std::snprintf(szLine, sizeof szLine, "ERR: %s", g_szErrMsg[nIndex & 15]);
    CBShowMessage(szLine);
    if (_fpInput) {
        std::fclose(_fpInput);
        _fpInput = nullptr;
    }
}
