// The global panels. Defined in one file so that they are constructed in
// order: leftPanel, rightPanel, placesPanel.
#include "views/text_panel.h"

TextPanel leftPanel(0, 60, kPanelRows);
TextPanel rightPanel(42, 40, kPanelRows);
TextPanel placesPanel(42, 40, kPanelRows);
