// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

namespace tarvelin {

class FaceButton;
class MessageBoxService;
class PictureBox;

// The chart window: the conversion chart of inch fractions and a Print button under it, on a green ground.
// One object serves the whole program; closing the window only hides it, and showing it again loads it
// afresh.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    inline static constexpr int kClientWidthTwips = 2835;
    inline static constexpr int kClientHeightTwips = 7860;
    inline static constexpr int kOuterHeightTwips = 8235;
    inline static constexpr int kPrintOuterHeightTwips = 7830; // leaves the Print button out

    Form2(QWidget *owner, MessageBoxService &messages);

    // The show request of the main window's Conversion button: loads the window if it is not open, else brings
    // it to the front.
    void showModeless();

    // How often the load step has run, for the tests.
    [[nodiscard]] int loadCount() const { return m_loadCount; }

    void setOuterHeightTwips(int outerHeightTwips);

    [[nodiscard]] FaceButton *printButton() const { return m_command1; }
    [[nodiscard]] PictureBox *picture() const { return m_image1; }

private:
    void load();

    MessageBoxService &m_messages;
    PictureBox *m_image1 = nullptr;
    FaceButton *m_command1 = nullptr;
    int m_loadCount = 0;
};

} // namespace tarvelin
