#include "app/logic/id_string_list.h"

#include <cstring>

namespace {

const int kEnd = -1;

// Characters of the file as the reader sees them: CR LF folded to LF, and a
// byte 0xFF reported as the end (the list was always written by hand in an
// editor; a stray 0xFF is taken as the file's end, never as data).
template <class NextByte>
class CharReader {
public:
    explicit CharReader(NextByte next) : m_next(next), m_nPending(kEnd - 1) {}

    int Get() {
        int c;
        if (m_nPending != kEnd - 1) {
            c = m_nPending;
            m_nPending = kEnd - 1;
        } else {
            c = m_next();
        }
        if (c == '\r') {
            int d = m_next();
            if (d == '\n') return '\n';
            m_nPending = d;  // a lone CR is an ordinary character
            return '\r';
        }
        return c == 0xFF ? kEnd : c;
    }

private:
    NextByte m_next;
    int m_nPending;  // byte read ahead after a lone CR; kEnd - 1 when none
};

template <class NextByte>
int ReadList(NextByte next, const ID_STRING_SINK& sink) {
    for (int i = 0; i < kIdMaxEntries; ++i) {
        sink.pszModel[i][0] = '\0';
        sink.pszFile[i][0] = '\0';
    }
    CharReader<NextByte> in(next);
    int nCount = 0;
    while (nCount < kIdMaxEntries) {
        if (in.Get() != '"') break;
        const int nEntry = nCount++;
        char szModel[kIdModelLen + 1] = {0};
        char szFile[kIdFileLen + 1] = {0};
        size_t cchModel = 0, cchFile = 0;
        int nQuote = 1;
        int nRead = 0;  // characters after the opening quote
        for (;;) {
            const int c = in.Get();
            const bool bLineEnd = (c == kEnd || c == '\n');
            if (!bLineEnd && ++nRead > kIdLineLimit) continue;  // excess of a long line
            if (nQuote == 5) {
                if (c == '"') {
                    nQuote = 6;
                    continue;
                }
                // Also the line's end: an unclosed flag field leaves 0.
                *sink.pbConfirm = (c == 'Y' || c == 'y') ? 1 : 0;
            }
            if (bLineEnd) break;
            if (c == '"') {
                if (nQuote < 6) ++nQuote;
                if (nQuote == 3) {
                    memcpy(sink.pszModel[nEntry], szModel, sizeof szModel);
                } else if (nQuote == 4) {
                    memcpy(sink.pszFile[nEntry], szFile, sizeof szFile);
                } else if (nQuote == 5) {
                    *sink.pbConfirm = 0;
                }
                continue;
            }
            if (nQuote == 1 && cchModel < kIdModelLen) szModel[cchModel++] = static_cast<char>(c);
            if (nQuote == 3 && cchFile < kIdFileLen) szFile[cchFile++] = static_cast<char>(c);
        }
    }
    return nCount;
}

}  // namespace

int ReadIdStringList(FILE* fp, const ID_STRING_SINK& sink) {
    return ReadList([fp]() { return fgetc(fp); }, sink);
}

int ParseIdStringList(const unsigned char* pData, size_t cbData, const ID_STRING_SINK& sink) {
    size_t i = 0;
    return ReadList([&]() { return i < cbData ? static_cast<int>(pData[i++]) : kEnd; }, sink);
}
