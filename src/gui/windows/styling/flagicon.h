// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QImage>

namespace tarvelin {

// The window icon of both windows: a striped flag with a chequered canton, drawn pixel by pixel so that it is
// the same at both of its sizes on every machine.
[[nodiscard]] QImage flagImage(int size); // 32 or 16 pixels square; any other size is drawn at 32
[[nodiscard]] QIcon flagIcon();

} // namespace tarvelin
