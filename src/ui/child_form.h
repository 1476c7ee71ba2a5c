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

private:
    int m_tag = 0;
};
