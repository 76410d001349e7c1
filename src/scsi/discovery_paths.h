// The three ways ScanDrives fills the table, one per OS family. Each appends
// complete records at m_nDrives and stops when the table is full.
#pragma once

#include "scsi/drive_discovery.h"

// 9x family: every ASPI adapter's targets, device type 5, then an INQUIRY
// through the ASPI transport. Needs fgLoadAspi to have succeeded; without the
// entry points the table stays empty.
void ScanAspiAdapters(DRIVE_TABLE& table);

// NT 4 and older: letters c..y, each letter's adapter inquiry list; every
// CD/DVD unit listed is recorded with that letter's handle.
void ScanAdapterInquiryLists(DRIVE_TABLE& table);

// NT 5 and later: letters c..z, an INQUIRY of our own through the letter's
// pass-through interface; host, target 0 and alignment mask 2047.
void ScanLettersByInquiry(DRIVE_TABLE& table);
