// The identity WNASPI32.DLL gives its drive when no configuration file lies
// beside it: the demo's drive. The demo's allow-list and firmware files are
// written for exactly this identity, so they include this header rather than
// repeating the texts.
#pragma once

namespace emu {

// INQUIRY fields, exactly as wide as the drive reports them (8, 16, 4).
constexpr char kDefaultVendor[] = "KESTREL ";
constexpr char kDefaultProduct[] = "EMU-DVD 16X     ";
constexpr char kDefaultRevision[] = "A049";
// The revision the drive reports after a successful commit.
constexpr char kDefaultRevisionAfterCommit[] = "A050";
// Vendor and product together: the model text discovery shows (before the
// "(%d)" list suffix) and the 24 characters a firmware image must carry.
constexpr char kDefaultModelText[] = "KESTREL EMU-DVD 16X     ";

static_assert(sizeof(kDefaultVendor) == 8 + 1, "vendor is 8 characters");
static_assert(sizeof(kDefaultProduct) == 16 + 1, "product is 16 characters");
static_assert(sizeof(kDefaultRevision) == 4 + 1, "revision is 4 characters");
static_assert(sizeof(kDefaultRevisionAfterCommit) == 4 + 1, "revision is 4 characters");
static_assert(sizeof(kDefaultModelText) == 24 + 1, "model text is 24 characters");

}  // namespace emu
