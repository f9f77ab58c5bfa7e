// SPDX-License-Identifier: MIT
#pragma once
// A pair of small arrow buttons beside a numeric field: up steps its value by +1, down by -1.
// Held down, a button repeats. What a step does is up to the owner (see SettingBinder::bindArrows).
#include <QWidget>

class QToolButton;

namespace qp {

class ArrowButtons : public QWidget {
    Q_OBJECT
public:
    explicit ArrowButtons(QWidget* parent = nullptr);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

    QSize sizeHint() const override;

signals:
    void stepped(int delta);

private:
    QToolButton* m_up;
    QToolButton* m_down;
};

} // namespace qp
