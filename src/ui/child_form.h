#pragma once
#include <QWidget>

// A child window of the main frame. Its tag is the id of the entry a bracket sheet shows (0 for
// a new participant, -1 for the results); the standings window's tag is 0.
class TChildForm : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // The size of the whole restored window, frame included; the frame sizes a new child window
    // by its contents, so the hint is this less the frame's decoration.
    void setNormalSize(QSize size) { m_normalSize = size; }
    QSize sizeHint() const override;

private:
    int m_tag = 0;
    QSize m_normalSize;
};
