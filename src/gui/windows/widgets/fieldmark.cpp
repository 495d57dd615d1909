// SPDX-License-Identifier: MIT
#include "gui/windows/widgets/fieldmark.h"

#include <QAction>
#include <QLineEdit>
#include <QStyle>

namespace tarvelin {

namespace {

constexpr char kMarkName[] = "refusedMark";

} // namespace

void markField(QLineEdit &field, const QString &reason)
{
    auto *mark = field.findChild<QAction *>(QLatin1StringView(kMarkName), Qt::FindDirectChildrenOnly);
    if (reason.isEmpty()) {
        delete mark; // a deleted action leaves the field by itself
    } else {
        if (!mark) {
            mark =
                field.addAction(field.style()->standardIcon(QStyle::SP_MessageBoxWarning), QLineEdit::TrailingPosition);
            mark->setObjectName(QLatin1StringView(kMarkName));
        }
        mark->setToolTip(reason);
    }
    field.setAccessibleDescription(reason);
}

} // namespace tarvelin
