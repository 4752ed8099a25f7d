// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QTimer;

// The welcome window: greets the user with a picture and then hands over to the
// main window, after five seconds or at once on a click on the picture. It does
// not know the main window; whoever shows it says what "hand over" means.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    explicit Form1(std::function<void()> handOver, QWidget* parent = nullptr);

    QSize sizeHint() const override;

    QLabel* Label1 = nullptr;
    QTimer* Timer1 = nullptr;

public slots:
    void Form1_Click();
    void Timer1_Timer();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void handOverOnce();

    std::function<void()> m_handOver;
    bool m_handedOver = false;
};
