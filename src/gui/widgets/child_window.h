#pragma once
#include <QPointer>
#include <QWidget>

class QLabel;
class QVBoxLayout;

// A child window of the main frame. Its tag is the id of the entry a bracket sheet shows (0 for
// a new participant, -1 for the results); the standings window's tag is 0. A window that shows
// no entry of the list may carry a tag of its own instead, which the lookup of open sheets by id
// passes over: a damaged file may hold a participant with any id.
//
// It remembers the control the organiser was last in. Whenever the frame maximises, restores or
// minimises a child window, Qt hides it for a moment, hands the focus on to the next control and
// later brings back whichever control it last noted, or none: taking a maximised window back to
// its size (Tile, Cascade, the restore button) leaves the focus one control on. The window puts
// its own control back once it shows again.
class ChildWindow : public QWidget {
    Q_OBJECT
public:
    explicit ChildWindow(QWidget* parent = nullptr);
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    void setWindowTag(int tag)
    {
        m_tag = tag;
        m_entryTag = false;
    }
    bool tagIsEntryId() const { return m_entryTag; }

    // The size of the whole restored window, frame included; the frame sizes a new child window
    // by its contents, so the hint is this less the frame's decoration.
    void setNormalSize(QSize size) { m_normalSize = size; }
    QSize sizeHint() const override;

    // The frame calls this once a window is the active one again, after Qt has moved the focus
    // about: the control the organiser was last in gets the focus back.
    void restoreFocus();

protected:
    void showEvent(QShowEvent* event) override;

    // Lays the window out as a flat column whose first row is its sunken status panel
    // ("pnlStatus"); the rest of the window goes below it in the column returned.
    QVBoxLayout* addStatusStrip(QLabel*& panel);

private:
    void focusEntered(QWidget* control, Qt::FocusReason reason);
    void takeBackFocus();

    int m_tag = 0;
    bool m_entryTag = true;
    QSize m_normalSize;
    QPointer<QWidget> m_lastFocus;
};
