// Operations that start-up and shutdown call and that belong to subsystems
// still being built. Each one moves to its subsystem's file when that
// subsystem lands; until then it does nothing, so the window runs without it.
#include "app/VantrelDlg_win.h"

