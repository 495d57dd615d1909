// SPDX-License-Identifier: MIT
#pragma once

#include "core/shop/shopsheet.h"

#include <QByteArray>

class QDateTime;
class QPageLayout;

namespace tarvelin {

// The shop sheet on paper: a header with the program, the frequency, the date and the settings, the tables,
// and the dimensioned drawing, over as many pages of the given paper as it needs, as a vector PDF whose text
// can be read back. The printer and the saved file get the same pages.
[[nodiscard]] QByteArray shopSheetPdf(const shop::ShopSheet &sheet, const QPageLayout &layout, const QDateTime &when);

} // namespace tarvelin
