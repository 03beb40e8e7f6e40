#pragma once
// The button page of the skin gallery: every button kind in its states.

#include <QImage>

// Renders every button kind (general button in its three styles, the eight
// chrome kinds) in the states normal, hot and held down, with and without
// icon and caption, each row labelled, into an image width wide. Uses the
// process-wide skin when there is one, else loads the default skin for the
// call. GUI thread; needs a QApplication.
QImage renderButtonGallery(int width);
