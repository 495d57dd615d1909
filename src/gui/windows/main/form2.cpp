// SPDX-License-Identifier: MIT
#include "gui/windows/main/form2.h"

#include "gui/print/printouts.h"
#include "gui/runtime/unhandlederror.h"
#include "gui/windows/styling/colors.h"
#include "gui/windows/main/conversionchart.h"
#include "gui/windows/main/facebutton.h"
#include "gui/windows/main/fixedwindow.h"
#include "gui/windows/styling/fonts.h"
#include "gui/windows/main/picturebox.h"
#include "gui/windows/styling/twips.h"

#include <QScopedValueRollback>

namespace tarvelin {

namespace {
constexpr TwipsRect kImage1Rect{105, 60, 2640, 7335};
constexpr TwipsRect kCommand1Rect{525, 7470, 1785, 345};
} // namespace

Form2::Form2(QWidget *owner, MessageBoxService &messages, PrinterService &printer)
    : QWidget(owner, fixedWindowFlags(WindowKind::Owned)), m_messages(messages), m_printer(printer)
{
    setUpFixedWindow(*this, QStringLiteral("Form2"), QStringLiteral("Decimal Conversion"), bgr::kGreen,
                     toPixels(kClientWidthTwips, kClientHeightTwips));

    m_image1 = new PictureBox(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setAccessibleName(QStringLiteral("Conversion chart of inch fractions"));
    m_image1->setGeometry(toPixels(kImage1Rect));
    m_image1->setPicture(conversionChart());

    m_command1 = new FaceButton(QStringLiteral("Print"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(toPixels(kCommand1Rect));
    m_command1->setFaceColor(fromBgr(bgr::kDarkYellow));
    m_command1->setFont(fontFor(FontRole::Control));
    // The only control that takes the focus, so it holds it while the window is active.
    setFocusProxy(m_command1);
    connect(m_command1, &QPushButton::clicked, this, &Form2::print);
}

void Form2::showModeless()
{
    if (isVisible()) {
        bringToFront(*this);
        return;
    }
    load();
}

// The load step: the window shows itself the moment it is loaded.
void Form2::load()
{
    ++m_loadCount;
    setVisible(true);
}

void Form2::print()
{
    // A second Print does nothing until the first has ended.
    if (m_printing)
        return;
    m_printing = true;
    bool started = false;
    runHandler(m_messages, [this, &started] {
        printChartWindow(*this, m_messages, m_printer, [this] { m_printing = false; });
        started = true;
    });
    if (!started)
        m_printing = false;
}

void Form2::setOuterHeightTwips(int outerHeightTwips)
{
    setFixedSize(toPixels(kClientWidthTwips, clientHeightForOuterTwips(outerHeightTwips)));
}

} // namespace tarvelin
