#include "scsi/aspi_layout.h"

PFN_GetASPI32SupportInfo g_pfnGetASPI32SupportInfo = nullptr;
PFN_SendASPI32Command g_pfnSendASPI32Command = nullptr;
