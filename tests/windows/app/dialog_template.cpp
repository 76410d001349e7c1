#include "dialog_template.h"

namespace {

class Reader {
public:
    explicit Reader(const BYTE* p) : m_p(p), m_pStart(p) {}
    WORD Word() { WORD w; memcpy(&w, m_p, 2); m_p += 2; return w; }
    DWORD Dword() { DWORD d; memcpy(&d, m_p, 4); m_p += 4; return d; }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() { return *m_p++; }
    void AlignDword() { while ((m_p - m_pStart) % 4) ++m_p; }
    void Skip(size_t cb) { m_p += cb; }
    std::string Text() {  // WCHAR string, or 0xFFFF and an ordinal
        std::string s;
        WORD w = Word();
        if (w == 0xFFFF) return "#" + std::to_string(Word());
        for (; w; w = Word()) s += static_cast<char>(w);
        return s;
    }

private:
    const BYTE* m_p;
    const BYTE* m_pStart;
};

std::string ClassName(std::string s) {
    static const char* const names[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
    if (s.size() > 1 && s[0] == '#') {
        const int n = std::stoi(s.substr(1));
        if (n >= 0x80 && n <= 0x85) return names[n - 0x80];
    }
    return s;
}

}  // namespace

DialogTemplate LoadDialogTemplate(UINT nID) {
    DialogTemplate t;
    HMODULE hMod = GetModuleHandleA(nullptr);
    HRSRC hRes = FindResourceA(hMod, MAKEINTRESOURCEA(nID), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (!hRes) return t;
    const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(hMod, hRes)));
    Reader r(p);
    if (r.Word() != 1 || r.Word() != 0xFFFF) return t;  // DIALOGEX only
    r.Dword();  // help id
    t.dwExStyle = r.Dword();
    t.dwStyle = r.Dword();
    const WORD cItems = r.Word();
    t.x = r.Short(), t.y = r.Short(), t.cx = r.Short(), t.cy = r.Short();
    r.Text();  // menu
    r.Text();  // class
    t.strCaption = r.Text();
    if (t.dwStyle & DS_SETFONT) {
        t.wPointSize = r.Word();
        r.Word();  // weight
        r.Byte(), r.Byte();
        t.strFont = r.Text();
    }
    for (WORD i = 0; i < cItems; ++i) {
        r.AlignDword();
        DialogItem it;
        r.Dword();  // help id
        it.dwExStyle = r.Dword();
        it.dwStyle = r.Dword();
        it.x = r.Short(), it.y = r.Short(), it.cx = r.Short(), it.cy = r.Short();
        it.id = r.Dword();
        it.strClass = ClassName(r.Text());
        it.strText = r.Text();
        r.Skip(r.Word());
        t.items.push_back(it);
    }
    t.bFound = true;
    return t;
}
