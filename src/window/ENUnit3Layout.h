#pragma once
// The main window's geometry and the captions that name its controls, shared
// by the code that builds the window and the handlers that change captions.

class QLabel;
class QWidget;

namespace veltrano::form3 {

// Sizes of the window at 96 dpi.
constexpr int kClientWidth = 894;
constexpr int kClientHeight = 602;
constexpr int kToolBarHeight = 30;
constexpr int kStatusBarHeight = 24;
constexpr int kPanel1Width = 676;
constexpr int kPanel1Height = kClientHeight - kToolBarHeight - kStatusBarHeight; // 548
constexpr int kPanel2Top = 206;
constexpr int kPanel2Height = 342;

// The caption beside a control names it, for the keyboard (the label's
// buddy) and for a screen reader (the accessible name, without the colon).
void nameAfterCaption(QLabel* caption, QWidget* control);

} // namespace veltrano::form3
