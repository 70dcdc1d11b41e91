// The two global panels. Defined in one file so that leftPanel is constructed
// before rightPanel.
#include "display/text_panel.h"

TextPanel leftPanel(0, 60, kPanelHeight);
TextPanel rightPanel(42, 40, kPanelHeight);
