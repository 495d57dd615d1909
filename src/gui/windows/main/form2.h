// SPDX-License-Identifier: MIT
#pragma once

#include "gui/print/printablewindow.h"

#include <QWidget>

namespace tarvelin {

class FaceButton;
class MessageBoxService;
class PictureBox;
class PrinterService;

// The chart window: the conversion chart of inch fractions and a Print button under it, on a green ground.
// One object serves the whole program; closing the window only hides it, and showing it again loads it
// afresh.
class Form2 : public QWidget, public PrintableWindow
{
    Q_OBJECT

public:
    inline static constexpr int kClientWidthTwips = 2835;
    inline static constexpr int kClientHeightTwips = 7860;

    Form2(QWidget *owner, MessageBoxService &messages, PrinterService &printer);

    // The show request of the main window's Conversion button: loads the window if it is not open, else brings
    // it to the front, restored if it was minimized.
    void showModeless();

    // How often the load step has run, for the tests.
    [[nodiscard]] int loadCount() const { return m_loadCount; }

    // PrintableWindow
    [[nodiscard]] QWidget &printedWindow() override { return *this; }
    void setOuterHeightTwips(int outerHeightTwips) override;

    // The Print button.
    void print();

    [[nodiscard]] FaceButton *printButton() const { return m_command1; }
    [[nodiscard]] bool printing() const { return m_printing; }
    [[nodiscard]] PictureBox *picture() const { return m_image1; }

private:
    void load();

    MessageBoxService &m_messages;
    PrinterService &m_printer;
    PictureBox *m_image1 = nullptr;
    FaceButton *m_command1 = nullptr;
    int m_loadCount = 0;
    bool m_printing = false;
};

} // namespace tarvelin
