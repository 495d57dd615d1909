// SPDX-License-Identifier: MIT
#pragma once

class QLineEdit;
class QString;

namespace tarvelin {

// Marks a field whose text is refused: a warning sign at its end with the reason as its tooltip, and the
// reason as its accessible description, so a screen reader says why too. An empty reason clears the mark.
void markField(QLineEdit &field, const QString &reason);

} // namespace tarvelin
