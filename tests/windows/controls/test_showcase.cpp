// A dialog holding one styled label of each look: the nine alignments, the three
// rotations, an odd angle, emboss and etched rules. Its picture is written as
// styled_labels.bmp in the build tree (ctest converts it to PNG) for a person to
// look at, drawn with the pixel rotation; styled_labels_plgblt.bmp shows the same
// dialog rotated by the GDI's PlgBlt (which Wine does not rotate correctly). The
// test checks that every label painted something of its own.
#include <gtest/gtest.h>

#include <memory>

#include "controls/label_text_image.h"
#include "controls/styled_label.h"
#include "framework/dialog.h"
#include "test_resources.h"
#include "test_support.h"

namespace {

struct Showcase {
    const char* text;
    DWORD align;
    int angle;
    BOOL etched;
    BOOL disabled;
    COLORREF back;  // CLR_INVALID: the face colour
    COLORREF ink;   // CLR_INVALID: the system text colour
};

const Showcase kShowcase[] = {
    {"Left top", 0x09, 0, FALSE, FALSE, CLR_INVALID, CLR_INVALID},
    {"Centre top", 0x0A, 0, FALSE, FALSE, CLR_INVALID, CLR_INVALID},
    {"Right top", 0x0C, 0, FALSE, FALSE, CLR_INVALID, CLR_INVALID},
    {"Left\nmiddle", 0x11, 0, FALSE, FALSE, RGB(255, 255, 224), RGB(0, 0, 160)},
    {"Centre\nmiddle wide", 0x12, 0, FALSE, FALSE, RGB(255, 255, 224), RGB(0, 0, 160)},
    {"Right\nmiddle", 0x14, 0, FALSE, FALSE, RGB(255, 255, 224), RGB(0, 0, 160)},
    {"Left bottom", 0x21, 0, FALSE, FALSE, CLR_INVALID, RGB(160, 0, 0)},
    {"Centre bottom", 0x22, 0, FALSE, FALSE, CLR_INVALID, RGB(160, 0, 0)},
    {"Right bottom", 0x24, 0, FALSE, FALSE, CLR_INVALID, RGB(160, 0, 0)},
    {"Rotated 90", 0x12, 90, FALSE, FALSE, RGB(224, 255, 224), CLR_INVALID},
    {"Two lines\nrotated 180", 0x12, 180, FALSE, FALSE, RGB(224, 255, 224), CLR_INVALID},
    {"Rotated 270", 0x12, 270, FALSE, FALSE, RGB(224, 255, 224), CLR_INVALID},
    {"Etched 90", 0x12, 90, TRUE, FALSE, CLR_INVALID, CLR_INVALID},
    {"Embossed\n(disabled)", 0x12, 0, FALSE, TRUE, CLR_INVALID, CLR_INVALID},
    {"Etched", 0x12, 0, TRUE, FALSE, CLR_INVALID, CLR_INVALID},
    {"Angle 45", 0x11, 45, TRUE, FALSE, CLR_INVALID, CLR_INVALID},
};
const int kShowcaseCount = static_cast<int>(sizeof(kShowcase) / sizeof(kShowcase[0]));

BOOL Force9x() { return FALSE; }
BOOL ForceNT() { return TRUE; }

class CShowcaseDlg : public CDialog {
public:
    CShowcaseDlg() : CDialog(IDD_SHOWCASE) {}
    CStyledLabel m_labels[kShowcaseCount];
    void DoDataExchange(CDataExchange* pDX) override {
        for (int i = 0; i < kShowcaseCount; ++i) DDX_Control(pDX, IDC_SHOW_FIRST + i, m_labels[i]);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        for (int i = 0; i < kShowcaseCount; ++i) {
            const Showcase& s = kShowcase[i];
            CStyledLabel& l = m_labels[i];
            l.SetText(s.text).SetAlignment(s.align).SetAngle(s.angle).SetEtched(s.etched);
            l.SetBorder(TRUE).SetDisabled(s.disabled);
            if (s.back != CLR_INVALID) l.SetBkColor(s.back);
            if (s.ink != CLR_INVALID) l.SetTextColor(s.ink);
        }
        m_labels[3].SetFontBold(TRUE);
        m_labels[10].SetFontName("Courier New").SetFontHeight(16);
        return TRUE;
    }
};

}  // namespace

TEST(Showcase, EveryLookPaintsAndThePictureIsWritten)
{
    CShowcaseDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.SetWindowPos(HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    dlg.UpdateWindow();
    PumpMessages();

    for (int i = 0; i < kShowcaseCount; ++i) {
        CStyledLabel& l = dlg.m_labels[i];
        l.RedrawWindow();
        RECT rc;
        l.GetClientRect(&rc);
        DibTarget shot(rc.right, rc.bottom);
        CaptureClient(l.m_hWnd, shot);
        COLORREF back = kShowcase[i].back == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : kShowcase[i].back;
        int other = shot.width() * shot.height() - shot.Count(back);
        EXPECT_GT(other, 20) << kShowcase[i].text << ": nothing but background";
    }

    // The picture, once per rotation path.
    struct Shot {
        PFN_IS_WIN_NT family;
        const char* file;
    } shots[] = {{Force9x, KESTREL_ARTIFACT_DIR "/styled_labels.bmp"},
                 {ForceNT, KESTREL_ARTIFACT_DIR "/styled_labels_plgblt.bmp"}};
    for (const Shot& shot : shots) {
        SetIsWinNTOverride(shot.family);
        dlg.RedrawWindow(nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages();
        RECT rcClient;
        dlg.GetClientRect(&rcClient);
        DibTarget picture(rcClient.right, rcClient.bottom);
        CaptureClient(dlg.m_hWnd, picture);
        EXPECT_TRUE(picture.WriteBmp(shot.file));
    }
    SetIsWinNTOverride(nullptr);
    dlg.DestroyWindow();
}
