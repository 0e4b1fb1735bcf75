#pragma once

class QWidget;

namespace common {

// Centres a window on its screen (common::centredPosition); it keeps its size.
void CentraForm(QWidget *window);

}  // namespace common
