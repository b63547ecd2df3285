#include "app/EnableStates.h"
#include "app/VantrelDlg_win.h"

void CVantrelDlg::SetEnableState(EnableState state)
{
    for (std::size_t i = 0; i < kEnableStateButtonCount; ++i) {
        switch (EnableStateAction(state, i)) {
        case ButtonAction::On: EnableItem(kEnableStateButtons[i], true); break;
        case ButtonAction::Off: EnableItem(kEnableStateButtons[i], false); break;
        case ButtonAction::OnIfImage:
            if (HasFlashImage()) EnableItem(kEnableStateButtons[i], true);
            break;
        case ButtonAction::Keep: break;
        }
    }
}
