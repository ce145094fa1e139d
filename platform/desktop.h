#pragma once

class QWidget;

// The program's place on the desktop: its fonts read early, its windows centred.
namespace tovakidoviv::widgets {

// Starts reading the system's font configuration on a worker thread, so that
// the first text a window lays out need not wait for it. Call first in main.
void warmUpFonts();

// Keeps a top-level window of one size at that size and where it is when it
// is asked to maximise: by the title bar the toolkit draws where a Wayland
// compositor draws none (which offers the button whatever the window's hints
// say), or by the desktop itself.
void refuseMaximise(QWidget *window);

// Moves a top-level window so that it is centred on the screen it is on.
void centreOnScreen(QWidget *window);

} // namespace tovakidoviv::widgets
