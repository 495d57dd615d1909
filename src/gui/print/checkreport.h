// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/checksummary.h"
#include "core/measure/measured.h"
#include "core/design/arraydesign.h"

#include <QByteArray>

class QDateTime;
class QPageLayout;

namespace tarvelin {

// The antenna check on paper: its document under the program's name and the date, then the four plots, as a vector PDF
// on the given paper. Measured sweeps, oldest first, go beside the verdict (the latest) and on the plots (every one).
[[nodiscard]] QByteArray checkReportPdf(const design::CheckSettings &settings, const check::CheckSummary &summary,
                                        const QPageLayout &layout, const QDateTime &when,
                                        std::span<const measure::MeasuredSweep> sweeps = {},
                                        const check::Goals &goals = {});

} // namespace tarvelin
