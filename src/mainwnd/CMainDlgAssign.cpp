// The key-assignment flow from the keyboard picture.
#include "mainwnd/CMainDlg.h"

bool CMainDlg::OnCoordButtonClick(int32_t, QString, int action, uint32_t, int32_t, int32_t) {
    if (action != 1) return false;
    if (!link_.keyboard.IsOpen()) return false;
    return false;
}
