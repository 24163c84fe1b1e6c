#include "rpPreview.h"

void TrpPreview::PageSetupDlg() { }
