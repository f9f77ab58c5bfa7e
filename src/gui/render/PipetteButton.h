// SPDX-License-Identifier: MIT
#pragma once
// A pipette button: pressed, it captures the mouse and shows the cross-hair; while the button is
// held, every movement reads the colour of the screen pixel under the pointer, wherever it is, and
// reports it; on release the last picked colour is reported once more and picking ends. Both
// pipettes share one state, so a press and release without movement applies the colour either of
// them picked last (black at first).
//
// Some platforms (Wayland) do not let a program read other windows' pixels; then the reading
// gives nothing, the field keeps its colour and screenUnreadable() tells the window to say so.
#include <QColor>
#include <QPushButton>

#include <functional>
#include <optional>

namespace qp {

class PipetteButton : public QPushButton {
    Q_OBJECT
public:
    struct State {
        bool picking = false;
        QColor last{0, 0, 0};
    };
    // Reads the colour of the screen pixel at a global position; nothing when it cannot.
    using ScreenReader = std::function<std::optional<QColor>(const QPoint&)>;

    PipetteButton(State& state, QWidget* parent = nullptr);

    // The platform's screen reading: a 1 x 1 grab of the whole screen at `global`.
    static std::optional<QColor> readScreenPixel(const QPoint& global);
    // Whether the platform is known to refuse reading the screen.
    static bool platformForbidsScreenReading();

    void setScreenReader(ScreenReader reader) { m_reader = std::move(reader); }
    const State& state() const { return m_state; }

signals:
    // A colour to apply to the field: on every movement while picking, and at the release.
    void colorPicked(const QColor& colour);
    // Picking ended (after the last colorPicked).
    void pickingFinished();
    // The screen could not be read at a movement.
    void screenUnreadable();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    State& m_state;
    ScreenReader m_reader;
};

} // namespace qp
