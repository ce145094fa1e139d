#pragma once

class QWidget;

// The program's place on the desktop: its fonts read early, its windows centred.
namespace tovakidoviv::widgets {

// Starts reading the system's font configuration on a worker thread, so that
// the first text a window lays out need not wait for it. Call first in main.
void warmUpFonts();

// Moves a top-level window so that it is centred on the screen it is on.
void centreOnScreen(QWidget *window);

} // namespace tovakidoviv::widgets
