// Fuzz target: the allow-list reader over arbitrary bytes. Every slot it may
// write is fenced by canaries; the reader must keep inside its slots, keep
// every text terminated and answer a count within the list's size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/logic/id_string_list.h"

namespace {

struct Fenced {
    unsigned char before[16];
    char szModel[kIdMaxEntries][kIdModelLen + 1];
    char szFile[kIdMaxEntries][kIdFileLen + 1];
    int bConfirm;
    unsigned char after[16];
};

bool Terminated(const char* p, size_t cb) { return memchr(p, '\0', cb) != nullptr; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fenced f;
    memset(&f, 0xA5, sizeof f);
    f.bConfirm = 7;
    const int n = ParseIdStringList(data, size, ID_STRING_SINK{f.szModel, f.szFile, &f.bConfirm});
    if (n < 0 || n > kIdMaxEntries) abort();
    for (unsigned char c : f.before) if (c != 0xA5) abort();
    for (unsigned char c : f.after) if (c != 0xA5) abort();
    for (int i = 0; i < kIdMaxEntries; ++i) {
        if (!Terminated(f.szModel[i], sizeof f.szModel[i]) || !Terminated(f.szFile[i], sizeof f.szFile[i])) abort();
        if (i >= n && (f.szModel[i][0] || f.szFile[i][0])) abort();
    }
    if (f.bConfirm != 7 && f.bConfirm != 0 && f.bConfirm != 1) abort();
    return 0;
}
